// A vertex cache built from any points file: the k-d tree's answer is checked against every
// vertex's distance to every point, away from the 0.001 cm boundary where rounding may decide.

#include "DataAssets/HCVertexCacheData.h"
#include "FuzzCheck.h"
#include "FuzzSupport.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"

#include <cmath>
#include <cstring>

namespace
{
	/** A 3 × 3 × 3 grid half a centimetre apart, with its centre vertex twice: the same point may hide two vertices. */
	TArray<FVector3f> GridPositions()
	{
		TArray<FVector3f> Positions;
		for (int32 Index = 0; Index < 27; ++Index)
		{
			Positions.Add(FVector3f(0.5f * (Index % 3), 0.5f * (Index / 3 % 3), 0.5f * (Index / 9)));
		}
		Positions.Add(Positions[13]);
		return Positions;
	}

	USkeletalMesh* MakeMesh(const TArray<FVector3f>& Positions)
	{
		USkeletalMesh* Mesh = NewObject<USkeletalMesh>(GetTransientPackage());
		Mesh->AllocateResourceForRendering();
		FSkeletalMeshLODRenderData& LOD = Mesh->GetResourceForRendering()->LODRenderData.Emplace_GetRef();
		LOD.StaticVertexBuffers.PositionVertexBuffer.Init(Positions, true);
		return Mesh;
	}

	/** The engine position of the file's point at First, as the cache computes it. */
	FVector PointAt(const uint8_t* Data, size_t First)
	{
		float Floats[3];
		std::memcpy(Floats, Data + First, sizeof(Floats));
		return FVector(100.0f * Floats[0], -100.0f * Floats[2], 100.0f * Floats[1]);
	}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
	static const TArray<FVector3f> Positions = GridPositions();
	static const TStrongObjectPtr<USkeletalMesh> Mesh(MakeMesh(Positions));

	const TStrongObjectPtr<UHCAttachmentVertexCacheData> Cache(NewObject<UHCAttachmentVertexCacheData>(GetTransientPackage()));
	Cache->TargetSkeletalMesh = Mesh.Get();
	Cache->BinFileDirectory = FuzzSupport::WriteScratchFile(Data, Size, TEXT("bin"));
	Cache->BuildData();

	FUZZ_CHECK(Cache->VertexOpacity.Num() == Positions.Num());
	for (int32 Vertex = 0; Vertex < Positions.Num(); ++Vertex)
	{
		double Nearest = INFINITY;
		for (size_t First = 0; First + 12 <= Size; First += 12)
		{
			// NaN distances (a NaN coordinate) match nothing, as fmin skips them.
			Nearest = std::fmin(Nearest, FVector::Dist(FVector(Positions[Vertex]), PointAt(Data, First)));
		}
		const float Opacity = Cache->VertexOpacity[Vertex];
		FUZZ_CHECK(Opacity == 0.0f || Opacity == 1.0f);
		FUZZ_CHECK(!(Nearest < 0.0009) || Opacity == 0.0f);
		FUZZ_CHECK(!(Nearest > 0.0011) || Opacity == 1.0f);
	}
	FuzzSupport::CollectGarbageEvery(512);
	return 0;
}
