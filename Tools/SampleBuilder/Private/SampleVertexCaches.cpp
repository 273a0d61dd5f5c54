#include "SampleVertexCaches.h"

#include "DataAssets/HCVertexCacheData.h"
#include "Engine/SkeletalMesh.h"
#include "GltfImporter.h"
#include "Misc/FileHelper.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "SampleLayout.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/UObjectGlobals.h"

#include <nlohmann/json.hpp>

#include <iterator>
#include <string>

namespace
{
	using FJson = nlohmann::ordered_json;

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

	/**
	 * One field per line; the opacities, one per body vertex, stay on their line rather than
	 * taking a line each.
	 */
	std::string FormatFields(const FJson& Object)
	{
		std::string Text = "{\n";
		for (auto Field = Object.begin(); Field != Object.end(); ++Field)
		{
			Text += "  " + FJson(Field.key()).dump() + ": " + Field.value().dump() + (std::next(Field) == Object.end() ? "\n" : ",\n");
		}
		return Text + "}\n";
	}

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

		FJson Opacities = FJson::array();
		for (const float Opacity : Cache->VertexOpacity)
		{
			Opacities.push_back(Opacity);
		}
		const FJson Json = {{"TargetSkeletalMesh", std::string(*SampleLayout::ObjectPath(SampleLayout::BodyMesh))},
			{"BinFileDirectory", std::string(*(FString(Garment.Points) + TEXT(".bin")))}, {"VertexOpacity", Opacities}};
		const FString Filename = SampleLayout::File(ContentDir, Garment.Cache, TEXT(".json"));
		if (!FFileHelper::SaveStringToFile(FString(FormatFields(Json).c_str()), *Filename))
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
