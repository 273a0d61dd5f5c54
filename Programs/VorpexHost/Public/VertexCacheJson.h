#pragma once

// The JSON form of a vertex cache (UHCAttachmentVertexCacheData), as the content loader reads it
// back into the data asset:
//
//   {
//     "TargetSkeletalMesh": "/Game/Characters/Human/SK_Body.SK_Body",
//     "BinFileDirectory": "Culling/PT_Tights.bin",
//     "VertexOpacity": [1.0,0.0,...]
//   }
//
// One field per line; the opacities, one per body vertex, stay on their line rather than taking
// a line each. Equal caches print as equal bytes, so a rebuilt cache can be compared with a
// committed one as a file.

#include "CoreMinimal.h"

class VORPEXHOST_API FVertexCacheJson
{
public:
	/**
	 * The text of the cache that holds VertexOpacity for the mesh at the object path TargetMesh,
	 * built from the points file named PointsFile (written as given).
	 */
	static FString Print(const FString& TargetMesh, const FString& PointsFile, const TArray<float>& VertexOpacity);
};
