// The batched mesh swims eight lanes at a time with AVX2, taken only where
// the processor has it. Built with -mavx2 -ffp-contract=off; nothing here
// may be shared with code built for the baseline (render/batch_lanes.h).
#if defined(__AVX2__) && defined(__x86_64__)

#include "render/batch_swims.h"

void SwimRigidAvx2(const BatchFrame& frame) { SwimRigidBatched<F8>(frame); }
void SwimDeformingAvx2(const BatchFrame& frame) { SwimDeformingBatched<F8>(frame); }

#endif
