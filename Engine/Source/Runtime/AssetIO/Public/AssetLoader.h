#pragma once

// FAssetLoader: loads assets from the content folders mounted with FPackageName. This is not
// an engine API (there the package loader does this job); a host calls Install once at
// start-up, and from then on StaticLoadObject, soft references and the JSON converter load
// through it.
//
// An object path "/Game/Skin/T_Body.T_Body" names the asset T_Body of the package
// "/Game/Skin/T_Body"; a path without ".Name" names the asset called like its package, the
// only asset a package file holds. The package's file is "<content>/Skin/T_Body.<extension>",
// the base name matched with letter case. Known extensions (letter case ignored):
//   .png   a UTexture2D with one mip in PF_B8G8R8A8 (bytes B, G, R, A), whatever the file's
//          colour type and depth (see FPngReader::DecodeBGRA).
//   .json  a data asset of the requested class (a UDataAsset subclass that is not abstract),
//          its properties filled from the file's object as FJsonObjectConverter converts them;
//          a file that does not read or convert in full gives no asset.
//   .glb, .gltf  a USkeletalMesh, or a UAnimSequence when that (and not the mesh class) is
//          the requested class, read by FGltfImporter (see GltfImporter.h). A package holds
//          one asset, so a path loaded as one kind cannot be loaded as the other afterwards.
// A texture's settings follow the naming convention texture artists use, letter case ignored
// as in asset names, and otherwise the file itself:
//   *_N             a normal map: SRGB false, CompressionSettings TC_Normalmap, LODGroup
//                   TEXTUREGROUP_WorldNormalMap.
//   *_Mask, *_M     a mask (channels of separate data): SRGB false, CompressionSettings TC_Masks.
//   anything else   colour: SRGB as the file's colour chunks say (FPngReader::IsSRGB: true
//                   for an sRGB chunk or none, false for a gAMA of 1.0), the other settings at
//                   their defaults.
// The suffix wins over the chunks, since image editors often tag data they save as sRGB.
// The asset is made in its package under its own name, so loading the same path again gives
// the same object while it lives. Every failure (a path that is no valid package name or lies
// under no mount, no file, a file of an unknown kind, a damaged file, an asset that is not of
// the requested class) returns null with a warning on LogAssetIO naming the object path,
// the file where there is one, and the reason.

#include "CoreMinimal.h"

class UClass;
class UObject;

class ASSETIO_API FAssetLoader
{
public:
	/** Installs LoadAsset as the object loader (SetObjectLoader); calling it again changes nothing. */
	static void Install();
	/** Finds or loads the asset at ObjectPath, which must be a Class (or derive from it). */
	static UObject* LoadAsset(const UClass* Class, const FString& ObjectPath);
};
