// The editor's default key and mouse bindings.
#include <string>
#include <vector>

#include "windlib/edit/editbindings.h"

namespace {
// The cursor-key families: plain, Control, Shift (continuing the selection)
// and Shift+Control, for each key and its keypad twins.
struct Family {
  const char* key;
  const char* plain;
  const char* control;
};
const Family kFamilies[] = {
    {"Up", "Up", "UpSome"},
    {"Down", "Down", "DownSome"},
    {"Left", "LeftU", "ReverseWord"},
    {"Right", "AcceptAcString;RightD", "AcceptAcString;Word"},
    {"Prior", "PageUp", "PageUp"},
    {"Next", "PageDown", "PageDown"},
    {"Home", "SOL0", "SOF"},
    {"End", "AcceptAcString;EOL", "EOF"},
};
// Keypad digits with Shift act as the keys of the same place.
const char* const kKeypadDigit[] = {"KP_8", "KP_2", "KP_4", "KP_6", "KP_9", "KP_3", "KP_7", "KP_1"};

void add_family(std::vector<std::string>& out, const std::string& key, const char* plain,
                const char* control, bool shift_base) {
  const std::string base = shift_base ? "|Shift" : "";
  auto quoted = "\"" + key + "\"";
  if (shift_base) {
    // With Shift the keypad digit is the arrow key itself.
    out.push_back(quoted + "|Shift@Edit=" + plain);
    out.push_back(quoted + "|Shift|Control@Edit=" + control);
    return;
  }
  out.push_back(quoted + "@Edit=" + plain);
  out.push_back(quoted + "|Control@Edit=" + control);
  out.push_back(quoted + "|Shift@Edit=ContinueSelection;" + plain);
  out.push_back(quoted + "|Shift|Control@Edit=ContinueSelection;" + control);
}

std::vector<std::string> make_keys() {
  std::vector<std::string> k;
  for (size_t i = 0; i < sizeof kFamilies / sizeof kFamilies[0]; ++i) {
    const Family& f = kFamilies[i];
    add_family(k, f.key, f.plain, f.control, false);
    add_family(k, std::string("KP_") + f.key, f.plain, f.control, false);
    add_family(k, kKeypadDigit[i], f.plain, f.control, true);
  }
  add_family(k, "F29", "PageUp", "PageUp", false);
  add_family(k, "F35", "PageDown", "PageDown", false);
  const char* const rest[] = {
      "\"a\"|Control@Edit@Select &All=SelectAll",
      "\"b\"|Control@Edit=BackISearch",
      "\"c\"|Control@Edit@&Copy=Copy1",
      "\"x\"|Control@Edit@Cu&t=Cut1",
      "\"v\"|Control@Edit@&Paste=if <noselection> { if <select1=lines> { if <col=sol> {} else "
      "{Down;SOL0} }} Paste1",
      "\"d\"|Control@Edit=if <noselection> { ContinueSelection; RightD }; Delete",
      "\"Delete\"@Edit=if <noselection> { ContinueSelection; RightD }; Delete",
      "\"KP_Delete\"@Edit=if <noselection> { ContinueSelection; RightD }; Delete",
      "\"e\"|Control@Edit=AcceptAcString;EOL",
      "\"f\"|Control@Edit@&Incremental Search=ISearch",
      "\"g\"|Control@Edit=EditLine",
      "\"h\"|Control@Edit=LeftU",
      "\"j\"|Control@Edit=Down",
      "\"k\"|Control@Edit=Up",
      "\"l\"|Control@Edit=AcceptAcString;RightD",
      "\"i\"|Control@Edit@&Indent=Indent",
      "\">\"|Control@Edit=Indent",
      "\"i\"|Shift|Control@Edit@&Unindent=Unindent",
      "\"<\"|Control@Edit=Unindent",
      "\"m\"|Control@Edit=SelectToLines; Cut2",
      "\"n\"|Control@Edit@Open in &New Window...=LoadFileWithNewEditor",
      "\"o\"|Control@Edit@&Open...=OpenFile",
      "\"p\"|Control@Edit@&Join Lines=JoinLines",
      "\"q\"|Control@Edit@&Close=Close",
      "\"r\"|Control@Edit=SOL0;LeftU;InsertNewline",
      "\"s\"|Control@Edit@&Save=Save",
      "\"s\"|Shift|Control@Edit@Save &As...=SaveAs",
      "\"t\"|Control@Edit=SelectWord;NewTag",
      "\"u\"|Control@Edit=if <searching> { TruncateSearch } else { if <noselection> { "
      "ContinueSelection; SOL }; Cut2 }",
      "\"w\"|Control@Edit=SOL",
      "\"y\"|Control@Edit@&Redo=Redo",
      "\"z\"|Control@Edit@&Undo=Undo",
      "\"/\"|Control@Edit={AutoCompleteList}",
      "\"]\"|Control@Edit={NextAutoCompleteString}",
      "\"[\"|Control@Edit={PrevAutoCompleteString}",
      "\"'\"|Control@Edit={AutoCompletePrototypeList}",
      "\"a\"|Shift|Control@Edit@&Fill Paragraph=FillParagraph",
      "\"d\"|Shift|Control@Edit@Insert &Date=Date",
      "\"f\"|Shift|Control@Edit@&Search...=Search",
      "\"g\"|Shift|Control@Edit@&Goto...=Goto",
      "\"h\"|Shift|Control@Edit=ShowHistory",
      "\"l\"|Shift|Control@Edit=ShowLastEdit",
      "\"o\"|Shift|Control@Edit@&Load File...=LoadFile",
      "\"p\"|Shift|Control@Edit@&Pop=Pop",
      "\"q\"|Shift|Control@Edit@&Done=Done",
      "\"r\"|Shift|Control@Edit=EOL;InsertNewline",
      "\"t\"|Shift|Control@Edit=NoSelection; ContinueSelection; Left; Cut2; Left; Paste2; Right",
      "\"u\"|Shift|Control@Edit@U&ncomment Block=UnCommentBlock",
      "\"*\"|Control@Edit@Co&mment Block=CommentBlock",
      "\"+\"|Control@Edit@U&pper Case=UpperCaseBlock",
      "\"=\"|Control@Edit=UpperCaseBlock",
      "\"-\"|Control@Edit@&Lower Case=LowerCaseBlock",
      "\".\"|Control@Edit@&Repeat Last Change=RepeatLast",
      "\"backslash\"|Control@Edit=Quote",
      "\"space\"|Control@Edit=\" \";Left",
      "\"2\"|Control@Edit=AutoIndent",
      "\";\"|Control@Edit=AutoIndent",
      "\"}\"|Control@Edit=SelectToMatch",
      "\"!\"|Control@Edit=AllowAutoCheckout",
      "\"BackSpace\"@Edit=Backspace",
      "\"BackSpace\"|Control@Edit=if <noselection> { ContinueSelection; ReverseWord; } Backspace",
      "\"Delete\"|Control@Edit=if <noselection> { ContinueSelection; Word; }; Delete",
      "\"Return\"@Edit=if <searching> { StopSearch } else { if <lang=ada> { AutoIndentImplicit; "
      "} InsertNewline;AutoIndentImplicit }",
      "\"KP_Enter\"@Edit=if <searching> { StopSearch } else { if <lang=ada> { "
      "AutoIndentImplicit; } InsertNewline;AutoIndentImplicit }",
      "\"Return\"|Control@Edit=EOL;RightD",
      "\"Escape\"@Edit=NoSelection;FlashCursor",
      "\"}\"@Edit=\"}\";AutoIndentImplicit;ShowMatch",
      "\":\"@Edit=\":\";AutoIndentImplicit",
      "\"{\"@Edit=\"{\";AutoIndentImplicit",
      "\"*\"@Edit=\"*\";AutoIndentImplicit",
      "\"#\"@Edit=\"#\";AutoIndentImplicit",
      "\"%\"@Edit=\"%\";AutoIndentImplicit",
      "\";\"@Edit=\";\";AutoIndentImplicit",
      "\"Tab\"@Edit=if <searching> {Tab} else {if <beforenonwhite> {AutoIndentOrTab} else {if "
      "<noselection> {Tab} else {AcceptAcString; MoveToEndOfSelectionAndUnselect} } }",
      "\"Tab\"|Control@Edit=CyclePush",
      "\"Tab\"|Shift|Control@Edit=CyclePushBack",
      "\"ISO_Left_Tab\"|Shift|Control@Edit=CyclePushBack",
      "\"Left\"|Meta@Edit=CyclePush",
      "\"Right\"|Meta@Edit=CyclePushBack",
      "\"Delete\"|Shift@Edit=Cut1",
      "\"Insert\"|Shift@Edit=Paste1",
      "\"Insert\"|Control@Edit=Copy1",
      "\"F12\"@Edit=ToggleErrorView",
      "\"L2\"@Edit=Redo",
      "\"L3\"@Edit=EditorFlags",
      "\"L4\"@Edit=Undo",
      "\"L6\"@Edit=Copy1",
      "\"L7\"@Edit=OpenFile",
      "\"L8\"@Edit=if <noselection> { if <select1=lines> { if <col=sol> {} else {Down;SOL0} }} "
      "Paste1",
      "\"L9\"@Edit=Search",
      "\"L10\"@Edit=Cut1",
      "\"L6\"|Shift@Edit=Copy2",
      "\"L8\"|Shift@Edit=if <noselection> { if <select2=lines> { if <col=sol> {} else "
      "{Down;SOL0} }} Paste2",
      "\"L10\"|Shift@Edit=Cut2",
      "\"L6\"|Control@Edit=Copy3",
      "\"L8\"|Control@Edit=if <noselection> { if <select3=lines> { if <col=sol> {} else "
      "{Down;SOL0} }} Paste3",
      "\"L10\"|Control@Edit=Cut3",
      "\"L6\"|Shift|Control@Edit=Copy4",
      "\"L8\"|Shift|Control@Edit=if <noselection> { if <select4=lines> { if <col=sol> {} else "
      "{Down;SOL0} }} Paste4",
      "\"L10\"|Shift|Control@Edit=Cut4",
      "\"d\"|Meta@Edit=if <noselection> { ContinueSelection; Word; }; Cut2",
      "\"d\"|Meta|Control@Edit=if <noselection> { ContinueSelection; EOL; }; Cut2",
      "\"F1\"@All=HELP",
      "\"Help\"@All=HELP",
      "\"?\"|Control@All=HELP",
  };
  for (const char* r : rest) k.emplace_back(r);
  return k;
}

std::vector<std::string> make_mice() {
  return {
      "Mouse1*Press1@Edit=SelectionStartDrag",
      "Mouse1*Press2@Edit=SelectWord;SelectionAdjust",
      "Mouse1*Press3@Edit=SelectLine;SelectionAdjust",
      "Mouse1*Press4@Edit=SelectAll;SelectionGrab",
      "Mouse1*Press1|Control@Edit=SelectionStartDragAdd",
      "Mouse1*Press2|Control@Edit=SelectWord;SelectionAdjust",
      "Mouse1*Press3|Control@Edit=SelectLine;SelectionAdjust",
      "Mouse1*Press4|Control@Edit=SelectLine;SelectToMatch",
      "Mouse1*Release1@Edit=SelectionAdjust;SelectionGrab",
      "Mouse1*Release2@Edit=SelectionGrab;SpecialTag",
      "Mouse1*Release1|Control@Edit=SelectionAdjust;SelectionGrab",
      "Mouse1*Press1|Shift@Edit=SelectionExtend",
      "Mouse1*Press2|Shift@Edit=SelectWord;SelectionExtend",
      "Mouse1*Press3|Shift@Edit=SelectToLines;SelectionExtend",
      "Mouse1*Release1|Shift@Edit=SelectionGrab",
      "Mouse2*Press1@Edit=if<allowmiddleclick> {SecondarySelectionStart}",
      "Mouse2*Press2@Edit=if<allowmiddleclick> {SecondarySelectWord}",
      "Mouse2*Press3@Edit=if<allowmiddleclick> {SecondarySelectLine}",
      "Mouse2*Press4@Edit=if<allowmiddleclick> {SecondarySelectAll}",
      "Mouse2*Release1@Edit=if<allowmiddleclick> {SecondarySelectionAdjust;if <nosselection> "
      "{if <select0=lines> {SOLSecondary}} SecondarySelectionReplace}",
      "Mouse3*Press1@Edit=if <noselection> { SelectionStartDrag; SelectionAdjust; SelectionGrab "
      "} ShowContextMenu",
      "Mouse3*Release1|Control@Edit=OpenTag",
      "Mouse3*Release2|Control@Edit=NewTag",
      "Mouse3*Release1|Meta@Edit=SelectWord;OpenTag",
      "Mouse3*Release2|Meta@Edit=SelectWord;NewTag",
      "Mouse3*Press1|Shift@Edit=SelectToMatch",
      "Mouse3*Press2|Shift@Edit=SelectMatch",
      "Mouse3*Press1|Shift|Control@Edit=Notepad",
      "Mouse4*Press1|Any@Edit=Scroll -5l",
      "Mouse5*Press1|Any@Edit=Scroll +5l",
  };
}
}  // namespace

const std::vector<std::string>& edit_DefaultKeys() {
  static const std::vector<std::string> keys = make_keys();
  return keys;
}

const std::vector<std::string>& edit_DefaultMice() {
  static const std::vector<std::string> mice = make_mice();
  return mice;
}
