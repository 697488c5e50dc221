#pragma once

#include <QCoreApplication>
#include <QLibrary>
#include <QString>

namespace qtdesk {

// Parts of the desktop whose libraries are many live in modules in the
// program folder and are loaded at first use, not at every start. Null
// when the module or its entry point is missing.
template <typename Create>
Create ResolveModule(const char* file, const char* entry) {
  QLibrary module(QCoreApplication::applicationDirPath() + "/" + file);
  return reinterpret_cast<Create>(module.resolve(entry));
}

}  // namespace qtdesk
