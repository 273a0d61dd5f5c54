#pragma once

// The vertices a skinned mesh ends up with after morphing and skinning, in component space.

#include "CoreMinimal.h"

struct FFinalSkinVertex
{
	FVector3f Position = FVector3f(0, 0, 0);
	/** The unit tangent. */
	FVector3f TangentX = FVector3f(1, 0, 0);
	/** The unit normal; W holds the sign of the binormal, as in the vertex buffer. */
	FVector4f TangentZ = FVector4f(0, 0, 1, 1);
	/** UV channel 0. */
	float U = 0.0f;
	float V = 0.0f;

	FVector3f GetTangentY() const { return (FVector3f(TangentZ.X, TangentZ.Y, TangentZ.Z) ^ TangentX) * TangentZ.W; }
};
