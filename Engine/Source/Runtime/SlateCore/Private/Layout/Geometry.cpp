#include "Layout/Geometry.h"

FGeometry FGeometry::MakeRoot(FVector2f LocalSize, float Scale)
{
	return FGeometry(LocalSize, FVector2f(0.0f, 0.0f), Scale);
}

FGeometry FGeometry::MakeChild(FVector2f ChildOffset, FVector2f ChildSize) const
{
	return FGeometry(ChildSize, AbsolutePosition + ChildOffset * Scale, Scale);
}
