#pragma once

// The geometry of the editor's polygon slider, which drives a shape constraint of three or more
// shapes: a regular polygon with one corner per shape, corner 0 at the top and the others
// clockwise on screen, fitted to [-1, 1] in both axes, and cut into one triangle per side
// around a common centre. A position inside triangle i weighs the shapes of its two outer
// corners, i and i + 1 (mod N), by their barycentric weights; the centre's weight is dropped.
// Positions are in the slider's normalised space, [-1, 1] per axis, y pointing down.

#include "CoreMinimal.h"

/** The two shapes a polygon position weighs, by their positions in the constraint's shapes. */
struct FPolygonSliderWeights
{
	int32 FirstIndex = 0;
	float FirstWeight = 0.0f;
	int32 SecondIndex = 0;
	float SecondWeight = 0.0f;
};

class FPolygonSliderGeometry
{
public:
	/** The polygon of Sides corners; Sides must be 3 or more. */
	explicit FPolygonSliderGeometry(int32 Sides);

	/**
	 * The weights of Position, from the first triangle (in corner order) that holds it strictly
	 * inside. False, with OutWeights untouched, for the centre itself, a point on the outline or
	 * on a spoke, and a point outside the polygon: the slider leaves the weights alone there.
	 */
	bool FindWeights(FVector2f Position, FPolygonSliderWeights& OutWeights) const;

private:
	/** The corners, fitted to [-1, 1] in both axes. */
	TArray<FVector2D> Corners;
	/** Where the triangles meet: the circle's centre, relative to the middle of the corners' box. */
	FVector2D Center = FVector2D(0.0, 0.0);
};
