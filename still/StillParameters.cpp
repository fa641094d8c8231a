#include "still/StillParameters.h"

const StillParameters::Rows StillParameters::kRows = {
	{ "Still Tolerance", &StillParameters::stillTolerance, 0.05f, 100.0f, "%.2f%%" },
	{ "Still Hold", &StillParameters::stillHold, 10.0f, 1.0f, "%.2f s" },
	{ "Recovery", &StillParameters::recovery, 5.0f, 1.0f, "%.2f s" },
};
