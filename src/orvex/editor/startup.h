// The program's entry: start-up in its fixed order, then the main loop.
#pragma once

int OeMain(int argc, char** argv);

// One round of the main loop; false when the loop is to end.
bool OeMainLoopRound();
