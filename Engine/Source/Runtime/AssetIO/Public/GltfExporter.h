#pragma once

// FGltfExporter: writes skinned mesh components and animations as binary glTF 2.0 (.glb),
// the inverse of FGltfImporter: the axes, rotations, winding and colours are converted back
// exactly as GltfImporter.h describes, so importing an exported mesh gives back its bones,
// reference pose, slot names, vertices, UVs, colours, weights and morph targets.
//
// A component export holds, for each skinned mesh component with an asset (the root first if
// it is one, then its descendants in GetChildrenComponents order):
//   - A node named after the component, carrying its transform relative to the root component,
//     with the bones below it: one node per bone of the asset's reference skeleton, in bone
//     order (parents first), holding the bind pose as its local transform. The bind pose is
//     the component's reference-pose override when one is set, the reference pose otherwise.
//   - A node named after the mesh with the mesh and a skin over those bones, listed as a scene
//     root (glTF ignores a skinned mesh node's own transform). The skin's inverse bind matrices
//     are the inverses of the bones' bind-pose matrices below the component node.
//   - One glTF material per material slot of the asset, in slot order, named after the slot,
//     holding the textures of the component's material for that slot (GetMaterial).
//   - One primitive per render section of LOD 0 that has triangles, over the section's own
//     vertices: POSITION, NORMAL, TANGENT, TEXCOORD_n for every UV channel, COLOR_0 (linear
//     floats) when the colour buffer has colours, JOINTS_n / WEIGHTS_n (float weights that sum
//     to 1; a vertex without any weight is bound wholly to bone 0), the indices and the slot's
//     material (none when the section names a slot the asset does not have).
//   - Morph targets: every morph target of the asset, in order, as primitive targets with
//     POSITION and NORMAL deltas (sparse where a primitive has moved vertices, zero otherwise),
//     their names in mesh.extras.targetNames and the component's current weights (0 for those
//     not active) in mesh.weights.
// The vertices written are what the component shows at rest, with the morph targets taken out
// where they are kept: the LOD 0 buffers as they are (an override rebinds the mesh to its pose
// without moving a vertex); with bBakeMorphTargets the morphed vertices of
// GetCPUSkinnedVertices, and no targets.
//
// Textures: the texture parameters of each slot's material that are bound to a texture become
// PNG images inside the file (a UTexture2D from mip 0 of its texels, which must be
// PF_B8G8R8A8; a UTextureRenderTarget2D read back from the GPU, which must be 8-bit RGBA),
// each texture once however often it is used. The base colour texture is the first bound
// parameter whose name contains "BaseColor", "Albedo" or "Diffuse", else the first bound one
// whose name does not contain "Normal"; the normal texture is the first bound parameter whose
// name contains "Normal" (letter case ignored throughout). Every bound parameter, those two
// included, is listed in the material's extras.textureParameters as name → texture index.
//
// Names: the node, mesh, skin, material and image names of a file are unique within their
// kind, letter case ignored, in the order they are made (the root's bones first), so a later
// name that is taken gets "_<n>" appended. Importing a file of several components gives the
// first one's mesh with its own slots first, then a slot for each material of the others.
//
// An animation export holds one node per bone of the sequence's skeleton (its reference pose
// as the node transforms) and one animation with translation, rotation and scale channels for
// every track, one key per sampled key at time key × play length / (keys - 1), 0 for a single
// key: FGltfImporter::ImportAnimation gives back the keys, play length and track names.
//
// Failures give false with the reason in OutError, and leave no file (nor any old one changed):
// the bytes are written to a temporary file beside the target that then replaces it.

#include "CoreMinimal.h"

class UAnimSequence;
class USceneComponent;

struct FGltfExportOptions
{
	/** Adds the weighted morph deltas to the vertices instead of writing morph targets. */
	bool bBakeMorphTargets = false;
	/** Embeds the materials' bound textures as PNG images. */
	bool bExportTextures = true;
};

class ASSETIO_API FGltfExporter
{
public:
	/**
	 * Writes Root and its descendants' skinned meshes to the .glb file Filename. False with the
	 * reason in OutError when there is no skinned mesh component with an asset under Root, an
	 * asset has no LOD 0 or keeps no CPU copy of its vertex buffers, its sections, weights or
	 * morph targets do not fit its vertices and bones, a bound texture cannot be encoded, or
	 * the file cannot be written.
	 */
	static bool ExportComponent(const USceneComponent* Root, const FString& Filename, const FGltfExportOptions& Options, FString& OutError);

	/**
	 * Writes the sequence's skeleton and keys to the .glb file Filename. False with the reason
	 * in OutError for a null sequence, one without a skeleton or bones, one with no keys or a
	 * track for a bone its skeleton lacks, or a file that cannot be written.
	 */
	static bool ExportAnimation(const UAnimSequence* Sequence, const FString& Filename, FString& OutError);
};
