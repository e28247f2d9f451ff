// The editor's static command table and its chain.
#pragma once

#include "windlib/cmdparse.h"

// EditBasic, followed by ConfigBasic.
CmdTbl* EditBasicTable();
