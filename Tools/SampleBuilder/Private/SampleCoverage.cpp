#include "SampleCoverage.h"

#include "Misc/FileHelper.h"
#include "SampleSurface.h"

#include <bit>
#include <cmath>
#include <unordered_map>

namespace
{
	struct FTriangle
	{
		FVector3f A;
		FVector3f B;
		FVector3f C;
	};

	/** A uniform grid of triangles, each listed in every cell its bounding box touches. */
	class FTriangleGrid
	{
	public:
		FTriangleGrid(const TArray<FTriangle>& InTriangles, float InCellSize) : Triangles(InTriangles), CellSize(InCellSize)
		{
			for (int32 Index = 0; Index < Triangles.Num(); ++Index)
			{
				const FTriangle& Triangle = Triangles[Index];
				ForEachCell(Triangle.A.ComponentMin(Triangle.B).ComponentMin(Triangle.C), Triangle.A.ComponentMax(Triangle.B).ComponentMax(Triangle.C),
					[this, Index](int64 Key) { Cells[Key].Add(Index); });
			}
		}

		/** Whether the segment From-To crosses a triangle (either side). */
		bool Intersects(const FVector3f& From, const FVector3f& To) const
		{
			bool bHit = false;
			ForEachCell(From.ComponentMin(To), From.ComponentMax(To), [&](int64 Key)
				{
					const auto Found = Cells.find(Key);
					if (bHit || Found == Cells.end())
					{
						return;
					}
					for (int32 Index : Found->second)
					{
						if (SegmentHitsTriangle(From, To, Triangles[Index]))
						{
							bHit = true;
							return;
						}
					}
				});
			return bHit;
		}

	private:
		int32 Cell(float Value) const { return int32(std::floor(Value / CellSize)); }

		template <typename FunctionType>
		void ForEachCell(const FVector3f& Min, const FVector3f& Max, FunctionType&& Function) const
		{
			for (int32 X = Cell(Min.X); X <= Cell(Max.X); ++X)
			{
				for (int32 Y = Cell(Min.Y); Y <= Cell(Max.Y); ++Y)
				{
					for (int32 Z = Cell(Min.Z); Z <= Cell(Max.Z); ++Z)
					{
						// Cells that share a key only cost extra triangle tests, never a wrong answer.
						Function(int64(X) * 73856093 ^ int64(Y) * 19349663 ^ int64(Z) * 83492791);
					}
				}
			}
		}

		/** Möller-Trumbore, both faces, the hit limited to the segment. */
		static bool SegmentHitsTriangle(const FVector3f& From, const FVector3f& To, const FTriangle& Triangle)
		{
			const FVector3f Direction = To - From;
			const FVector3f Edge1 = Triangle.B - Triangle.A;
			const FVector3f Edge2 = Triangle.C - Triangle.A;
			const FVector3f P = Direction ^ Edge2;
			const float Determinant = Edge1 | P;
			if (FMath::Abs(Determinant) < 1e-12f)
			{
				return false;
			}
			const float InverseDeterminant = 1.0f / Determinant;
			const FVector3f T = From - Triangle.A;
			const float U = (T | P) * InverseDeterminant;
			if (U < 0.0f || U > 1.0f)
			{
				return false;
			}
			const FVector3f Q = T ^ Edge1;
			const float V = (Direction | Q) * InverseDeterminant;
			if (V < 0.0f || U + V > 1.0f)
			{
				return false;
			}
			const float Along = (Edge2 | Q) * InverseDeterminant;
			return Along >= 0.0f && Along <= 1.0f;
		}

		const TArray<FTriangle>& Triangles;
		float CellSize;
		std::unordered_map<int64, TArray<int32>> Cells;
	};

	/**
	 * About one triangle or one query segment across, whichever is larger: smaller cells would
	 * list each triangle many times, larger ones would test many triangles per query.
	 */
	float ChooseCellSize(const TArray<FTriangle>& Triangles, float SegmentLength)
	{
		double ExtentSum = 0.0;
		for (const FTriangle& Triangle : Triangles)
		{
			ExtentSum += (Triangle.A.ComponentMax(Triangle.B).ComponentMax(Triangle.C) - Triangle.A.ComponentMin(Triangle.B).ComponentMin(Triangle.C)).GetMax();
		}
		const float MeanExtent = Triangles.IsEmpty() ? 1.0f : float(ExtentSum / Triangles.Num());
		return FMath::Max3(MeanExtent, SegmentLength, 1e-3f);
	}
}

TArray<int32> FSampleCoverage::FindCoveredVertices(const FSampleSourceMesh& Source, int32 BodyGroup, int32 GarmentGroup, float MaxDistance)
{
	checkf(Source.GroupNames.IsValidIndex(BodyGroup) && Source.GroupNames.IsValidIndex(GarmentGroup), TEXT("coverage of group %d by group %d: no such group"),
		BodyGroup, GarmentGroup);
	checkf(std::isfinite(MaxDistance) && MaxDistance >= 0.0f, TEXT("coverage needs a distance of 0 or more, not %f"), double(MaxDistance));
	const float InwardReach = MaxDistance / 4.0f;

	TArray<FTriangle> Triangles;
	for (const FSampleSourceMesh::FFace* Face : Source.GetGroupFaces(GarmentGroup))
	{
		int32 Corners[6];
		const int32 NumTriangles = FSampleSurface::GetTriangleCorners(*Face, Corners);
		for (int32 Triangle = 0; Triangle < NumTriangles; ++Triangle)
		{
			Triangles.Add({Source.Positions[Face->Vertices[Corners[Triangle * 3]]], Source.Positions[Face->Vertices[Corners[Triangle * 3 + 1]]],
				Source.Positions[Face->Vertices[Corners[Triangle * 3 + 2]]]});
		}
	}
	const FTriangleGrid Grid(Triangles, ChooseCellSize(Triangles, MaxDistance + InwardReach));

	const TArray<FVector3f> Normals = FSampleSurface::ComputeVertexNormals(Source.GetGroupFaces(BodyGroup), Source.Positions);
	TArray<int32> Covered;
	for (int32 Vertex : Source.GetGroupVertices(BodyGroup))
	{
		const FVector3f& Normal = Normals[Vertex];
		const FVector3f& Position = Source.Positions[Vertex];
		if (!Normal.IsZero() && Grid.Intersects(Position - Normal * InwardReach, Position + Normal * MaxDistance))
		{
			Covered.Add(Vertex);
		}
	}
	return Covered;
}

bool FSampleCoverage::WritePointsFile(const TArray<FVector3f>& EnginePositions, const FString& Filename, FString& OutError)
{
	TArray<uint8> Bytes;
	Bytes.Reserve(EnginePositions.Num() * 12);
	for (int32 Index = 0; Index < EnginePositions.Num(); ++Index)
	{
		const FVector3f& Engine = EnginePositions[Index];
		if (!std::isfinite(Engine.X) || !std::isfinite(Engine.Y) || !std::isfinite(Engine.Z))
		{
			OutError = FString::Printf(TEXT("%s: point %d is not finite"), *Filename, Index);
			return false;
		}
		for (const float Value : {Engine.X / 100.0f, Engine.Z / 100.0f, -Engine.Y / 100.0f})
		{
			// Byte by byte, so the file reads the same whatever the machine's byte order.
			const uint32 Bits = std::bit_cast<uint32>(Value);
			for (int32 Shift = 0; Shift < 32; Shift += 8)
			{
				Bytes.Add(uint8(Bits >> Shift));
			}
		}
	}
	if (!FFileHelper::SaveArrayToFile(Bytes, *Filename))
	{
		OutError = FString::Printf(TEXT("cannot write %s"), *Filename);
		return false;
	}
	return true;
}
