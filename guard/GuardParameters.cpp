#include "guard/GuardParameters.h"

const GuardParameters::Table::Rows GuardParameters::kRows = {
	{ "Black Threshold", &GuardParameters::blackThreshold, kMaxBlackThreshold, 100.0f, "%.1f%%" },
	{ "Black Hold", &GuardParameters::blackHold, 10.0f, 1.0f, "%.2f s" },
	{ "Recovery", &GuardParameters::recovery, 5.0f, 1.0f, "%.2f s" },
};

const char* GuardParameters::Name(unsigned int index)
{
	return Table::Name(kRows, index);
}

bool GuardParameters::Set(unsigned int index, float value)
{
	return Table::Set(*this, kRows, target, index, value);
}

float GuardParameters::Get(unsigned int index) const
{
	return Table::Get(*this, kRows, target, index);
}

void GuardParameters::Display(unsigned int index, char* text, std::size_t size) const
{
	Table::Display(*this, kRows, target, index, text, size);
}
