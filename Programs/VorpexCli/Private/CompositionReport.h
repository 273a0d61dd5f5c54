#pragma once

// report.json of a composed character: what the composition applied and bound, what it culled,
// the files written and how long each stage took. One object:
//
//   "character", "group", "groupIndex", "characterIndex"   which descriptor character
//   "succeeded"              whether every stage ran without an error
//   "errors"                 the errors logged while composing, and the stage that failed
//   "shapeWeights"           the first blend's shape weights: name, index, weight, and whether the
//                            body has a morph target of that name ("morphTarget")
//   "textureWeights"         the first blend's texture weights, and "templateWeight", the template
//                            albedo's share (1 less their sum, never below 0)
//   "garments"               per worn garment: its component, the listing that bound it
//                            (deformableAssetIndex, variationIndex) and per material slot the
//                            textures bound by parameter name
//   "albedos"                per composed mesh albedo: mesh, file, width, height
//   "culling"                body vertices, those hidden (vertex colour red below one half), and
//                            the vertex caches multiplied in
//   "files"                  the files written, by role
//   "timingsMs"              milliseconds per stage, in the order they ran, and "total"

#include "CoreMinimal.h"

#include <nlohmann/json.hpp>

struct FDescriptorCharacter;
struct FSpawnedComposite;

class FCompositionReport
{
public:
	explicit FCompositionReport(const FDescriptorCharacter& Character);

	/** Records what the spawned character's first blend asked for and what it bound and culled. */
	void DescribeComposition(const FSpawnedComposite& Composite);
	void AddAlbedo(const FString& MeshName, const FString& File, int32 Width, int32 Height);
	void AddFile(const FString& Role, const FString& File);
	void AddStage(const FString& Stage, double Seconds);
	/** Marks the composition failed with these errors (the log lines, or one reason). */
	void Fail(const TArray<FString>& Errors);

	bool Succeeded() const { return Report["succeeded"].get<bool>(); }
	/** Total milliseconds of the stages so far. */
	double GetTotalMilliseconds() const { return TotalMilliseconds; }

	/** Writes the report as Filename, replacing it as a whole; false when it cannot be written. */
	bool Write(const FString& Filename) const;

private:
	nlohmann::ordered_json Report;
	double TotalMilliseconds = 0.0;
};
