// The batched mesh swims four lanes at a time with SSE2, the x86-64
// baseline. Built with -msse2 -ffp-contract=off.
#if defined(__SSE2__) && defined(__x86_64__)

#include "render/batch_swims.h"

void SwimRigidSse2(const BatchFrame& frame) { SwimRigidBatched<F4>(frame); }
void SwimDeformingSse2(const BatchFrame& frame) { SwimDeformingBatched<F4>(frame); }

#endif
