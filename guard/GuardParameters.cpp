#include "guard/GuardParameters.h"

const GuardParameters::Rows GuardParameters::kRows = {
	{ "Black Threshold", &GuardParameters::blackThreshold, kMaxBlackThreshold, 100.0f, "%.1f%%" },
	{ "Black Hold", &GuardParameters::blackHold, 10.0f, 1.0f, "%.2f s" },
	{ "Recovery", &GuardParameters::recovery, 5.0f, 1.0f, "%.2f s" },
};
