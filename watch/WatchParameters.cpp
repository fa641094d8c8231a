#include "watch/WatchParameters.h"

const WatchParameters::Rows WatchParameters::kRows = {
	{ "Black Threshold", &WatchParameters::blackThreshold, 0.25f, 100.0f, "%.1f%%" },
	{ "Black Hold", &WatchParameters::blackHold, 10.0f, 1.0f, "%.2f s" },
	{ "Still Tolerance", &WatchParameters::stillTolerance, 0.05f, 100.0f, "%.2f%%" },
	{ "Still Hold", &WatchParameters::stillHold, 10.0f, 1.0f, "%.2f s" },
	{ "Recovery", &WatchParameters::recovery, 5.0f, 1.0f, "%.2f s" },
};
