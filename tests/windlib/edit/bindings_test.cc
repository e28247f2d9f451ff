// The default bindings, written out here from the editor's documentation,
// against what the binding tables answer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "windlib/edit/editbindings.h"
#include "windlib/x11/wkeys.h"
#include "windlib/x11/wtypes.h"

namespace {

struct Expect {
  const char* key;
  unsigned mods;
  const char* command;
};

constexpr unsigned S = WModShift, C = WModControl, M = WModMeta;

uint32_t code(const std::string& name) {
  return name.size() == 1 ? static_cast<unsigned char>(name[0]) : WKeyFromName(name);
}

std::string bound(const char* key, unsigned mods) {
  const std::string* c = InterpretEditKey(code(key), mods);
  return c ? *c : "<unbound>";
}

TEST(DefaultBindings, CursorKeyFamilies) {
  struct Family {
    const char* key;
    const char* plain;
    const char* control;
  };
  const Family families[] = {
      {"Up", "Up", "UpSome"},
      {"Down", "Down", "DownSome"},
      {"Left", "LeftU", "ReverseWord"},
      {"Right", "AcceptAcString;RightD", "AcceptAcString;Word"},
      {"Prior", "PageUp", "PageUp"},
      {"Next", "PageDown", "PageDown"},
      {"Home", "SOL0", "SOF"},
      {"End", "AcceptAcString;EOL", "EOF"},
  };
  for (const Family& f : families) {
    for (std::string key : {std::string(f.key), "KP_" + std::string(f.key)}) {
      SCOPED_TRACE(key);
      EXPECT_EQ(bound(key.c_str(), 0), f.plain);
      EXPECT_EQ(bound(key.c_str(), C), f.control);
      EXPECT_EQ(bound(key.c_str(), S), std::string("ContinueSelection;") + f.plain);
      EXPECT_EQ(bound(key.c_str(), S | C), std::string("ContinueSelection;") + f.control);
    }
  }
  const char* digits[] = {"KP_8", "KP_2", "KP_4", "KP_6", "KP_9", "KP_3", "KP_7", "KP_1"};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(bound(digits[i], S), families[i].plain) << digits[i];
  EXPECT_EQ(bound("F29", 0), "PageUp");
  EXPECT_EQ(bound("F35", 0), "PageDown");
}

TEST(DefaultBindings, TheKeyTable) {
  const Expect table[] = {
      {"a", C, "SelectAll"},
      {"b", C, "BackISearch"},
      {"c", C, "Copy1"},
      {"x", C, "Cut1"},
      {"v", C, "if <noselection> { if <select1=lines> { if <col=sol> {} else {Down;SOL0} }} Paste1"},
      {"d", C, "if <noselection> { ContinueSelection; RightD }; Delete"},
      {"Delete", 0, "if <noselection> { ContinueSelection; RightD }; Delete"},
      {"e", C, "AcceptAcString;EOL"},
      {"f", C, "ISearch"},
      {"g", C, "EditLine"},
      {"h", C, "LeftU"},
      {"j", C, "Down"},
      {"k", C, "Up"},
      {"l", C, "AcceptAcString;RightD"},
      {"i", C, "Indent"},
      {">", C, "Indent"},
      {"i", C | S, "Unindent"},
      {"<", C, "Unindent"},
      {"m", C, "SelectToLines; Cut2"},
      {"n", C, "LoadFileWithNewEditor"},
      {"o", C, "OpenFile"},
      {"p", C, "JoinLines"},
      {"q", C, "Close"},
      {"r", C, "SOL0;LeftU;InsertNewline"},
      {"s", C, "Save"},
      {"s", C | S, "SaveAs"},
      {"t", C, "SelectWord;NewTag"},
      {"u", C, "if <searching> { TruncateSearch } else { if <noselection> { ContinueSelection; SOL }; Cut2 }"},
      {"w", C, "SOL"},
      {"y", C, "Redo"},
      {"z", C, "Undo"},
      {"/", C, "{AutoCompleteList}"},
      {"]", C, "{NextAutoCompleteString}"},
      {"[", C, "{PrevAutoCompleteString}"},
      {"'", C, "{AutoCompletePrototypeList}"},
      {"a", C | S, "FillParagraph"},
      {"d", C | S, "Date"},
      {"f", C | S, "Search"},
      {"g", C | S, "Goto"},
      {"h", C | S, "ShowHistory"},
      {"l", C | S, "ShowLastEdit"},
      {"o", C | S, "LoadFile"},
      {"p", C | S, "Pop"},
      {"q", C | S, "Done"},
      {"r", C | S, "EOL;InsertNewline"},
      {"t", C | S, "NoSelection; ContinueSelection; Left; Cut2; Left; Paste2; Right"},
      {"u", C | S, "UnCommentBlock"},
      {"*", C, "CommentBlock"},
      {"+", C, "UpperCaseBlock"},
      {"=", C, "UpperCaseBlock"},
      {"-", C, "LowerCaseBlock"},
      {".", C, "RepeatLast"},
      {"backslash", C, "Quote"},
      {"space", C, "\" \";Left"},
      {"2", C, "AutoIndent"},
      {";", C, "AutoIndent"},
      {"}", C, "SelectToMatch"},
      {"!", C, "AllowAutoCheckout"},
      {"BackSpace", 0, "Backspace"},
      {"BackSpace", C, "if <noselection> { ContinueSelection; ReverseWord; } Backspace"},
      {"Delete", C, "if <noselection> { ContinueSelection; Word; }; Delete"},
      {"Return", 0, "if <searching> { StopSearch } else { if <lang=ada> { AutoIndentImplicit; } InsertNewline;AutoIndentImplicit }"},
      {"KP_Enter", 0, "if <searching> { StopSearch } else { if <lang=ada> { AutoIndentImplicit; } InsertNewline;AutoIndentImplicit }"},
      {"Return", C, "EOL;RightD"},
      {"Escape", 0, "NoSelection;FlashCursor"},
      {"}", 0, "\"}\";AutoIndentImplicit;ShowMatch"},
      {":", 0, "\":\";AutoIndentImplicit"},
      {"{", 0, "\"{\";AutoIndentImplicit"},
      {"*", 0, "\"*\";AutoIndentImplicit"},
      {"#", 0, "\"#\";AutoIndentImplicit"},
      {"%", 0, "\"%\";AutoIndentImplicit"},
      {";", 0, "\";\";AutoIndentImplicit"},
      {"Tab", 0, "if <searching> {Tab} else {if <beforenonwhite> {AutoIndentOrTab} else {if <noselection> {Tab} else {AcceptAcString; MoveToEndOfSelectionAndUnselect} } }"},
      {"Tab", C, "CyclePush"},
      {"Tab", C | S, "CyclePushBack"},
      {"Left", M, "CyclePush"},
      {"Right", M, "CyclePushBack"},
      {"Delete", S, "Cut1"},
      {"Insert", S, "Paste1"},
      {"Insert", C, "Copy1"},
      {"F12", 0, "ToggleErrorView"},
      {"L3", 0, "EditorFlags"},
      {"L4", 0, "Undo"},
      {"L6", 0, "Copy1"},
      {"L7", 0, "OpenFile"},
      {"L9", 0, "Search"},
      {"L10", 0, "Cut1"},
      {"L6", S, "Copy2"},
      {"L6", C, "Copy3"},
      {"L6", C | S, "Copy4"},
      {"L10", S, "Cut2"},
      {"F1", 0, "HELP"},
      {"Help", 0, "HELP"},
      {"?", C, "HELP"},
  };
  for (const Expect& e : table) EXPECT_EQ(bound(e.key, e.mods), e.command) << e.key << " " << e.mods;
}

TEST(DefaultBindings, ShiftedSymbolsAndCapitalsFindTheirBindings) {
  // "}" arrives with Shift held; "S" with Control+Shift is Ctrl+Shift+s.
  EXPECT_EQ(bound("}", S), "\"}\";AutoIndentImplicit;ShowMatch");
  EXPECT_EQ(bound("S", C | S), "SaveAs");
  EXPECT_EQ(bound("S", 0), "<unbound>") << "a capital without modifiers types itself";
  EXPECT_EQ(bound("q", 0), "<unbound>");
}

TEST(DefaultBindings, MouseTable) {
  auto mouse = [](int button, bool release, int clicks, unsigned mods) {
    const std::string* c = InterpretEditMouse(button, release, clicks, mods);
    return c ? *c : std::string("<unbound>");
  };
  EXPECT_EQ(mouse(1, false, 1, 0), "SelectionStartDrag");
  EXPECT_EQ(mouse(1, false, 2, 0), "SelectWord;SelectionAdjust");
  EXPECT_EQ(mouse(1, false, 3, 0), "SelectLine;SelectionAdjust");
  EXPECT_EQ(mouse(1, false, 4, 0), "SelectAll;SelectionGrab");
  EXPECT_EQ(mouse(1, false, 1, C), "SelectionStartDragAdd");
  EXPECT_EQ(mouse(1, false, 4, C), "SelectLine;SelectToMatch");
  EXPECT_EQ(mouse(1, true, 1, 0), "SelectionAdjust;SelectionGrab");
  EXPECT_EQ(mouse(1, true, 2, 0), "SelectionGrab;SpecialTag");
  EXPECT_EQ(mouse(1, false, 1, S), "SelectionExtend");
  EXPECT_EQ(mouse(3, false, 1, 0),
            "if <noselection> { SelectionStartDrag; SelectionAdjust; SelectionGrab } ShowContextMenu");
  EXPECT_EQ(mouse(3, true, 1, C), "OpenTag");
  EXPECT_EQ(mouse(3, true, 2, C), "NewTag");
  EXPECT_EQ(mouse(3, false, 1, S), "SelectToMatch");
  EXPECT_EQ(mouse(3, false, 2, S), "SelectMatch");
  EXPECT_EQ(mouse(3, false, 1, S | C), "Notepad");
  EXPECT_EQ(mouse(4, false, 1, C | S), "Scroll -5l") << "wheel bindings take any modifiers";
  EXPECT_EQ(mouse(5, false, 1, 0), "Scroll +5l");
}

TEST(BindingTexts, ParseTheirParts) {
  EditBinding b;
  ASSERT_TRUE(EditParseBinding("\"z\"|Control@Edit@&Undo=Undo", &b));
  EXPECT_EQ(b.key, "z");
  EXPECT_EQ(b.modifiers, WModControl);
  EXPECT_EQ(b.windowClass, "Edit");
  EXPECT_EQ(b.menuLabel, "&Undo");
  EXPECT_EQ(b.command, "Undo");
  ASSERT_TRUE(EditParseBinding("Mouse2*Release3(AtOnce)|Shift|Meta@ScrollBar=Noop", &b));
  EXPECT_TRUE(b.mouse);
  EXPECT_EQ(b.buttons, 2);
  EXPECT_EQ(b.action, 1);
  EXPECT_EQ(b.clicks, 3);
  EXPECT_TRUE(b.atOnce);
  EXPECT_EQ(b.modifiers, WModShift | WModMeta);
  EXPECT_EQ(b.windowClass, "ScrollBar");
  ASSERT_TRUE(EditParseBinding("\"\"\"@Edit=x", &b));
  EXPECT_EQ(b.key, "\"");
  for (const char* bad : {"", "Up@Edit=x", "\"Up\"|Hyper@Edit=x", "\"Up\"@Edit", "\"Up\"=x",
                          "Mouse*Press1@Edit=x", "Mouse1*Hold1@Edit=x"})
    EXPECT_FALSE(EditParseBinding(bad, &b)) << bad;
}

TEST(BindingTexts, EveryDefaultParses) {
  EditBinding b;
  for (const auto& t : edit_DefaultKeys()) EXPECT_TRUE(EditParseBinding(t, &b)) << t;
  for (const auto& t : edit_DefaultMice()) EXPECT_TRUE(EditParseBinding(t, &b)) << t;
}

}  // namespace
