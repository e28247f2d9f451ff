// What the file layer knows about syntax states, for code below the
// colouring: the bits of the syntax state word kept at the start of every
// line, and questions about them answered through hooks that the colouring
// fills when it starts. Without the colouring every position is code.
#pragma once

#include <cstdint>

struct File;

// ---- Syntax state word ----------------------------------------------------
// 0 is the null state. Bits 31..19 name the element open at a point.
constexpr uint32_t synNull = 0;
constexpr uint32_t synComment = 0x80000000u;      // block comment
constexpr uint32_t synDeadCode = 0x40000000u;     // branch not compiled
constexpr uint32_t synString = 0x20000000u;       // string of the first pair
constexpr uint32_t synChar = 0x10000000u;         // character of the first pair
constexpr uint32_t synLineComment = 0x08000000u;  // line comment
constexpr uint32_t synString2 = 0x04000000u;      // string of the second pair
constexpr uint32_t synChar2 = 0x02000000u;        // character of the second pair
constexpr uint32_t synBlock = 0x01000000u;        // block item
constexpr uint32_t synInteger = 0x00800000u;
constexpr uint32_t synKeyword = 0x00400000u;
constexpr uint32_t synCustomized = 0x00200000u;
constexpr uint32_t synPreprocessor = 0x00100000u;
constexpr uint32_t synFloat = 0x00080000u;
constexpr uint32_t synSelected = 0x00000001u;  // drawing only: the run is selected

constexpr uint32_t synAnyString = synString | synString2;
constexpr uint32_t synAnyChar = synChar | synChar2;
// Classes in which a position is not code.
constexpr uint32_t synNotCode =
    synComment | synLineComment | synAnyString | synAnyChar | synDeadCode;

// ---- Preprocessor state (Line::extra of a coloured file) ------------------
constexpr uint32_t synDepthMask = 0x00ffffffu;  // nesting depth of directives
constexpr int synPairShift = 24;                // index of the open delimiter pair
constexpr uint32_t synPairMask = 0x7f000000u;
constexpr uint32_t synLiveBranch = 0x80000000u;  // inside the live branch of an if-one

// Start state of 1-based line; null: file not coloured.
extern uint32_t (*FileLineSynstateHook)(File* file, int32_t line);
// State covering a byte column.
extern uint32_t (*FileSynstateAtHook)(File* file, int32_t line, int32_t column);

// True when not in comment, line comment, string, character or dead code
// (always true when not coloured).
bool FileIsCode(File* file, int32_t line, int32_t column);
// False when not coloured.
bool FileLineStartsInComment(File* file, int32_t line);
