#pragma once

// A project folder: project.json, which names the project's data by object path, and Content/,
// mounted at /Game/ while the project is open.
//
// project.json is one object; keys are matched exactly and a key this program does not know is
// refused, so a misspelt key cannot pass for a missing optional one:
//   "name"             required  the project's name
//   "description"      optional  one line about it
//   "catalog", "descriptor", "editorConfig", "skinComposition"
//                      required  object paths of the asset catalog, character descriptor,
//                                character editor configuration and skin composition (.json)
//   "body"             required  object path of the body's skeletal mesh (.glb or .gltf)
//   "animation"        optional  object path of the rig animation (.glb or .gltf)
//   "attachments"      optional  list of objects, each:
//       "component"    required  the attachment's component name, unique in the project (letter
//                                case ignored, as engine names compare), not "Body", and free of
//                                the characters object names cannot hold
//       "mesh"         required  object path of its skeletal mesh (.glb or .gltf)
//       "cullMasks"    optional  object path of its cull-mask data (.json)
//       "vertexCache"  optional  object path of its vertex cache: the body vertices it hides (.json)
//       "points"       optional  its points file, a path relative to Content/
// An object path is "/Game/<package>" or "/Game/<package>.<name>" with <name> the package's last
// element, as the asset loader reads it.

#include "CoreMinimal.h"

/** A mesh worn over the body: a garment or another attachment. */
struct FProjectAttachment
{
	FString Component;
	FString Mesh;
	/** Empty when the project gives none. */
	FString CullMasks;
	/** Empty when the project gives none. */
	FString VertexCache;
	/** Relative to the content folder; empty when the project gives none. */
	FString Points;
};

class VORPEXHOST_API FProjectDescription
{
public:
	/** The name of the body's component, which no attachment may take. */
	static constexpr const TCHAR* BodyComponentName = TEXT("Body");

	/**
	 * Reads and checks ProjectDir/project.json and that the folder has a Content folder. False,
	 * with one message in OutError naming the file, the key (as "attachments[1].mesh") or the
	 * line and column, and the reason, when anything is wrong; OutProject is then unchanged.
	 */
	static bool Read(const FString& ProjectDir, FProjectDescription& OutProject, FString& OutError);

	/**
	 * Checks, with ContentDir mounted at /Game/, that every object path is a valid package name
	 * and names a file of its kind, and that every points file exists inside the content folder.
	 * False, with the file, key and reason in OutError, at the first that does not.
	 */
	bool CheckContent(FString& OutError) const;

	/** The project folder and its content folder, as full paths. */
	FString ProjectDir;
	FString ContentDir;
	/** project.json, as a full path. */
	FString File;

	FString Name;
	FString Description;
	FString Catalog;
	FString Descriptor;
	FString EditorConfig;
	FString SkinComposition;
	FString Body;
	/** Empty when the project gives none. */
	FString Animation;
	TArray<FProjectAttachment> Attachments;
};
