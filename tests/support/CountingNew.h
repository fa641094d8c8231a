// CountingNew: an executable built with CountingNew.cpp has every form of the
// global operator new replaced with one that counts its calls. The
// replacements are exported: a module loaded into the process that links the
// shared C++ runtime allocates through them too.
#pragma once

// Calls of operator new so far, by any thread.
long AllocationsSoFar();
