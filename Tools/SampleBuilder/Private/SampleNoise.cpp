#include "SampleNoise.h"

#include <cmath>

float FSampleNoise::Hash(int32 X, int32 Y, uint32 Seed)
{
	uint32 H = uint32(X) * 0x8da6b343u ^ uint32(Y) * 0xd8163841u ^ Seed * 0xcb1ab31fu;
	H ^= H >> 13;
	H *= 0x5bd1e995u;
	H ^= H >> 15;
	return float(H & 0xffffffu) / float(0xffffffu);
}

float FSampleNoise::Value(float X, float Y, uint32 Seed)
{
	const float FloorX = std::floor(X);
	const float FloorY = std::floor(Y);
	const int32 CellX = int32(FloorX);
	const int32 CellY = int32(FloorY);
	auto Smooth = [](float T) { return T * T * (3.0f - 2.0f * T); };
	const float TX = Smooth(X - FloorX);
	const float TY = Smooth(Y - FloorY);
	const float Top = Hash(CellX, CellY, Seed) + (Hash(CellX + 1, CellY, Seed) - Hash(CellX, CellY, Seed)) * TX;
	const float Bottom = Hash(CellX, CellY + 1, Seed) + (Hash(CellX + 1, CellY + 1, Seed) - Hash(CellX, CellY + 1, Seed)) * TX;
	return 2.0f * (Top + (Bottom - Top) * TY) - 1.0f;
}

float FSampleNoise::Fractal(float X, float Y, uint32 Seed, int32 Octaves)
{
	float Sum = 0.0f;
	float Amplitude = 1.0f;
	float Total = 0.0f;
	for (int32 Octave = 0; Octave < Octaves; ++Octave)
	{
		Sum += Value(X, Y, Seed + uint32(Octave)) * Amplitude;
		Total += Amplitude;
		X *= 2.0f;
		Y *= 2.0f;
		Amplitude *= 0.5f;
	}
	return Sum / Total;
}
