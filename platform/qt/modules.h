#pragma once

#include <QCoreApplication>
#include <QLibrary>
#include <QString>

namespace qtdesk {

// Parts of the desktop whose libraries are many live in modules beside the
// program and are loaded at first use, not at every start. `file` is looked
// for beside the program first, then where the build put it (`built`).
// Null when the module or its entry point is missing.
template <typename Create>
Create ResolveModule(const char* file, const char* built, const char* entry) {
  for (const QString& path :
       {QCoreApplication::applicationDirPath() + "/" + file, QString::fromUtf8(built)}) {
    QLibrary module(path);
    if (auto create = reinterpret_cast<Create>(module.resolve(entry))) return create;
  }
  return nullptr;
}

}  // namespace qtdesk
