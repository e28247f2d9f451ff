#include "orvex/editor/startup.h"

int main(int argc, char** argv) { return OeMain(argc, argv); }
