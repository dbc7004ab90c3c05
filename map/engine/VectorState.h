// Qt's raster engine fills spans with AVX2 code that returns with the upper
// halves of the vector registers still in use. On many Intel processors
// every SSE instruction after that waits on a merge with those halves, until
// a vzeroupper clears them: the engine's own pixel and geometry code, built
// for the baseline instruction set, ran at two thirds of its speed for the
// rest of a frame after the painter filled the land.
#pragma once

// Clears the upper halves where the processor has them; called where the
// engine's own work resumes after the painter's. A few cycles.
void settleVectorState();
