// Pakrim: locking the system's task-switching keys. Nothing on a Linux
// desktop needs locking for the programs, so the call does nothing.
#pragma once

extern "C" int DisableTaskKeys(int enable, int keys);
