// Key codes of the toolkit. A printable Latin-1 key is its character code
// ('a' is 0x61); the other keys have the codes below. Names are the usual
// key-symbol names ("Return", "Prior", "F1", "a", "A").
#pragma once

#include <cstdint>
#include <string>

enum WKeyCode : uint32_t {
  WK_None = 0,
  WK_BackSpace = 0xff08,
  WK_Tab = 0xff09,
  WK_Linefeed = 0xff0a,
  WK_Return = 0xff0d,
  WK_Pause = 0xff13,
  WK_Escape = 0xff1b,
  WK_Home = 0xff50,
  WK_Left = 0xff51,
  WK_Up = 0xff52,
  WK_Right = 0xff53,
  WK_Down = 0xff54,
  WK_Prior = 0xff55,  // Page Up
  WK_Next = 0xff56,   // Page Down
  WK_End = 0xff57,
  WK_Insert = 0xff63,
  WK_Menu = 0xff67,
  WK_Help = 0xff6a,
  WK_KP_Enter = 0xff8d,
  WK_F1 = 0xffbe,
  WK_F12 = 0xffc9,
  WK_Shift_L = 0xffe1,
  WK_Shift_R = 0xffe2,
  WK_Control_L = 0xffe3,
  WK_Control_R = 0xffe4,
  WK_Caps_Lock = 0xffe5,
  WK_Meta_L = 0xffe7,
  WK_Meta_R = 0xffe8,
  WK_Alt_L = 0xffe9,
  WK_Alt_R = 0xffea,
  WK_Delete = 0xffff,
  WK_ISO_Left_Tab = 0xfe20,  // Shift+Tab on most keyboards
};

inline WKeyCode WKeyF(int n) {
  return static_cast<WKeyCode>(WK_F1 + (n - 1));
}

// The key's name, or "" for a code without one.
std::string WKeyName(uint32_t key);
// The code of a key name, or WK_None.
uint32_t WKeyFromName(const std::string& name);
// True for Shift, Control, Alt, Meta and the like.
bool WKeyIsModifier(uint32_t key);
