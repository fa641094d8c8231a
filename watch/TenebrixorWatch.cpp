#include "watch/TenebrixorWatch.h"

const float TenebrixorWatch::kGrid[7] = { 0.1f, 0.2333333f, 0.3666667f, 0.5f, 0.6333333f, 0.7666667f, 0.9f };

TenebrixorWatch::TenebrixorWatch() : WatchingPlugin(SampleMeasure(kGrid, 7))
{
}
