#include "SampleVertexCaches.h"

#include "DataAssets/HCVertexCacheData.h"
#include "Engine/SkeletalMesh.h"
#include "GltfImporter.h"
#include "Misc/FileHelper.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "SampleLayout.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/UObjectGlobals.h"
#include "VertexCacheJson.h"

namespace
{
	/** The points file and the cache built from it, both content names. */
	struct FGarmentCache
	{
		const TCHAR* Points;
		const TCHAR* Cache;
	};

	const FGarmentCache GarmentCaches[] = {
		{SampleLayout::TightsPoints, SampleLayout::TightsVertexCache},
		{SampleLayout::SkirtPoints, SampleLayout::SkirtVertexCache},
	};

	bool WriteCache(USkeletalMesh* Body, const FString& ContentDir, const FGarmentCache& Garment, FString& OutError)
	{
		const TStrongObjectPtr<UHCAttachmentVertexCacheData> Cache(NewObject<UHCAttachmentVertexCacheData>());
		Cache->TargetSkeletalMesh = Body;
		Cache->BinFileDirectory = SampleLayout::File(ContentDir, Garment.Points, TEXT(".bin"));
		Cache->BuildData();
		const int32 VertexCount = static_cast<int32>(Body->GetResourceForRendering()->LODRenderData[0].GetNumVertices());
		if (Cache->VertexOpacity.Num() != VertexCount)
		{
			OutError = FString::Printf(TEXT("no vertex cache from %s (see the log)"), *Cache->BinFileDirectory);
			return false;
		}

		const FString Filename = SampleLayout::File(ContentDir, Garment.Cache, TEXT(".json"));
		const FString Json = FVertexCacheJson::Print(SampleLayout::ObjectPath(SampleLayout::BodyMesh), FString(Garment.Points) + TEXT(".bin"), Cache->VertexOpacity);
		if (!FFileHelper::SaveStringToFile(Json, *Filename))
		{
			OutError = FString::Printf(TEXT("cannot write %s"), *Filename);
			return false;
		}
		return true;
	}
}

bool FSampleVertexCaches::WriteAll(const FString& ContentDir, FString& OutError)
{
	const TStrongObjectPtr<USkeletalMesh> Body(
		FGltfImporter::ImportSkeletalMesh(SampleLayout::File(ContentDir, SampleLayout::BodyMesh, TEXT(".glb")), nullptr, NAME_None, OutError));
	if (!Body.IsValid())
	{
		return false;
	}
	bool bWritten = true;
	for (const FGarmentCache& Garment : GarmentCaches)
	{
		bWritten = bWritten && WriteCache(Body.Get(), ContentDir, Garment, OutError);
	}
	// Only the CPU copy of the vertices is read: the GPU copies the import made go now, not at exit.
	Body->ReleaseResources();
	return bWritten;
}
