#include "windlib/file/filesyntax.h"

uint32_t (*FileLineSynstateHook)(File* file, int32_t line) = nullptr;
uint32_t (*FileSynstateAtHook)(File* file, int32_t line, int32_t column) = nullptr;

bool FileIsCode(File* file, int32_t line, int32_t column) {
  if (FileSynstateAtHook == nullptr || file == nullptr) return true;
  return (FileSynstateAtHook(file, line, column) & synNotCode) == 0;
}

bool FileLineStartsInComment(File* file, int32_t line) {
  if (FileLineSynstateHook == nullptr || file == nullptr) return false;
  return (FileLineSynstateHook(file, line) & synComment) != 0;
}
