#pragma once

// FSampleNoise: smooth value noise for the builder's textures. It hashes integer lattice points
// itself (no library generator), so the same seed gives the same bytes on every machine.

#include "CoreMinimal.h"

class FSampleNoise
{
public:
	/** Noise in [-1, 1], smooth in X and Y, one lattice cell per unit. */
	static float Value(float X, float Y, uint32 Seed);
	/** Octaves of Value, each twice the frequency and half the amplitude of the last; in [-1, 1]. */
	static float Fractal(float X, float Y, uint32 Seed, int32 Octaves);
	/** A hash of a lattice point mapped to [0, 1]. */
	static float Hash(int32 X, int32 Y, uint32 Seed);
};
