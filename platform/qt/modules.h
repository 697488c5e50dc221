#pragma once

#include <QCoreApplication>
#include <QLibrary>
#include <QString>
#include <cstddef>

namespace qtdesk {

// Parts of the desktop whose libraries are many live in modules in the
// program folder and are loaded at first use, not at every start. Null
// when the module or its entry point is missing.
template <typename Create>
Create ResolveModule(const char* file, const char* entry) {
  QLibrary module(QCoreApplication::applicationDirPath() + "/" + file);
  return reinterpret_cast<Create>(module.resolve(entry));
}

// The form the player widget still calls, with no second place to look
// (READER_SOUND_MODULE is null); it goes once that call drops the argument.
template <typename Create>
Create ResolveModule(const char* file, std::nullptr_t, const char* entry) {
  return ResolveModule<Create>(file, entry);
}

}  // namespace qtdesk
