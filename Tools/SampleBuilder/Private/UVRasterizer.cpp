#include "UVRasterizer.h"

#include <algorithm>
#include <cmath>

FUVRasterizer::FUVRasterizer(int32 InSize, const FLinearColor& Background)
	: Size(InSize)
{
	Texels.Init(Background, Size * Size);
	Coverage.Init(ECoverage::None, Size * Size);
}

void FUVRasterizer::Fill(const FSampleSourceMesh& Mesh, const TArray<const FSampleSourceMesh::FFace*>& Faces, const std::function<FLinearColor(int32)>& Value)
{
	for (const FSampleSourceMesh::FFace* Face : Faces)
	{
		for (int32 Fan = 1; Fan + 1 < Face->NumCorners; ++Fan)
		{
			const int32 Corners[3] = {0, Fan, Fan + 1};
			FVector2f UV[3];
			FLinearColor Values[3];
			for (int32 Index = 0; Index < 3; ++Index)
			{
				UV[Index] = Mesh.TexCoords[Face->TexCoords[Corners[Index]]];
				Values[Index] = Value(Face->Vertices[Corners[Index]]);
			}
			FillTriangle(UV, Values);
		}
	}
}

void FUVRasterizer::FillTriangle(const FVector2f (&UV)[3], const FLinearColor (&Values)[3])
{
	// Texel centres in pixel space; a texel belongs to the triangle when its centre does, plus a
	// conservative half-texel margin so thin islands still get painted.
	FVector2f P[3];
	for (int32 Index = 0; Index < 3; ++Index)
	{
		P[Index] = UV[Index] * float(Size);
	}
	const float Area = (P[1].X - P[0].X) * (P[2].Y - P[0].Y) - (P[2].X - P[0].X) * (P[1].Y - P[0].Y);
	if (std::abs(Area) < 1e-12f)
	{
		return;
	}
	const int32 MinX = std::max(0, int32(std::floor(std::min({P[0].X, P[1].X, P[2].X}))));
	const int32 MaxX = std::min(Size - 1, int32(std::ceil(std::max({P[0].X, P[1].X, P[2].X}))));
	const int32 MinY = std::max(0, int32(std::floor(std::min({P[0].Y, P[1].Y, P[2].Y}))));
	const int32 MaxY = std::min(Size - 1, int32(std::ceil(std::max({P[0].Y, P[1].Y, P[2].Y}))));
	const float Margin = 0.5f * std::sqrt(2.0f) / std::abs(Area);
	for (int32 Y = MinY; Y <= MaxY; ++Y)
	{
		for (int32 X = MinX; X <= MaxX; ++X)
		{
			const FVector2f C(float(X) + 0.5f, float(Y) + 0.5f);
			const float W0 = ((P[1].X - C.X) * (P[2].Y - C.Y) - (P[2].X - C.X) * (P[1].Y - C.Y)) / Area;
			const float W1 = ((P[2].X - C.X) * (P[0].Y - C.Y) - (P[0].X - C.X) * (P[2].Y - C.Y)) / Area;
			const float W2 = 1.0f - W0 - W1;
			// The margin is measured along each edge's own height, so it is scaled by edge length.
			const float L0 = (P[1] - P[2]).Size() * Margin;
			const float L1 = (P[2] - P[0]).Size() * Margin;
			const float L2 = (P[0] - P[1]).Size() * Margin;
			if (W0 < -L0 || W1 < -L1 || W2 < -L2)
			{
				continue;
			}
			// A texel inside the triangle always takes its value; one in the margin only when no
			// triangle has painted it, so a neighbour's margin never overwrites a true inside value.
			const bool bInside = W0 >= 0.0f && W1 >= 0.0f && W2 >= 0.0f;
			const int32 Texel = Y * Size + X;
			if (!bInside && Coverage[Texel] != ECoverage::None)
			{
				continue;
			}
			const float C0 = std::clamp(W0, 0.0f, 1.0f);
			const float C1 = std::clamp(W1, 0.0f, 1.0f);
			const float C2 = std::clamp(W2, 0.0f, 1.0f);
			const float Sum = C0 + C1 + C2;
			Texels[Texel] = (Values[0] * C0 + Values[1] * C1 + Values[2] * C2) * (1.0f / Sum);
			Coverage[Texel] = bInside ? ECoverage::Inside : ECoverage::Margin;
		}
	}
}

void FUVRasterizer::Dilate(int32 Passes)
{
	for (int32 Pass = 0; Pass < Passes; ++Pass)
	{
		TArray<int32> Grown;
		TArray<FLinearColor> GrownValues;
		for (int32 Y = 0; Y < Size; ++Y)
		{
			for (int32 X = 0; X < Size; ++X)
			{
				if (IsCovered(X, Y))
				{
					continue;
				}
				FLinearColor Sum(0, 0, 0, 0);
				int32 Count = 0;
				for (int32 DY = -1; DY <= 1; ++DY)
				{
					for (int32 DX = -1; DX <= 1; ++DX)
					{
						const int32 NX = X + DX;
						const int32 NY = Y + DY;
						if (NX >= 0 && NY >= 0 && NX < Size && NY < Size && IsCovered(NX, NY))
						{
							Sum += Texels[NY * Size + NX];
							++Count;
						}
					}
				}
				if (Count > 0)
				{
					Grown.Add(Y * Size + X);
					GrownValues.Add(Sum * (1.0f / float(Count)));
				}
			}
		}
		for (int32 Index = 0; Index < Grown.Num(); ++Index)
		{
			Texels[Grown[Index]] = GrownValues[Index];
			Coverage[Grown[Index]] = ECoverage::Margin;
		}
	}
}
