// The paths of the mesh swims: the scalar reference, and batches of four
// (SSE2, the x86-64 baseline) or eight (AVX2) cells or atoms at a time with
// the same results to the bit. Vector::SwimRigid and Vector::SwimDeforming
// take the best path the processor has, chosen before main.
#pragma once

enum class GeometryPath { SCALAR, SSE2, AVX2 };

// True when this build and this processor can run path.
bool GeometryPathSupported(GeometryPath path);
// AVX2 where the processor has it, else SSE2 on x86-64, else scalar.
GeometryPath BestGeometryPath();
// The path the swims take from now on; an unsupported one is not taken.
bool UseGeometryPath(GeometryPath path);
GeometryPath CurrentGeometryPath();
