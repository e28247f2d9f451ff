// What auto-indent makes of the languages: the C family (C, C++, Java) and
// Ada indent, every other language does not.
#pragma once

// Tells the file layer how to ask a file's language for its indentation.
void syn_InstallIndentHook();
