// The configuration directories: user (".kvx" in the home directory, or the
// directory given by -configdir), site ("config" beside the program) and site
// defaults ("defaults" beside the program).
#pragma once

// The user directory; with `create`, made (mode 0755) when missing. None when
// it cannot be had.
const char* cfg_GetUserConfigDir(bool create);
const char* cfg_GetSiteConfigDir();
const char* cfg_GetSiteDefaultConfigDir();
// Replaces the user directory (the -configdir option).
void cfg_SetUserConfigDir(const char* dir);
// Forgets the cached directories (tests that change HOME).
void cfg_ResetConfigDirs();
