#pragma once

// FGltfImporter: reads a skinned mesh or an animation from a glTF 2.0 file (.gltf text with
// its buffers embedded as data URIs or next to it, or a binary .glb).
//
// Coordinates: glTF is right-handed, Y up, +Z forward (the front of a model faces +Z), in
// metres; the engine is left-handed, Z up, X forward, Y right, in centimetres. A glTF point
// (x, y, z) becomes (100 z, -100 x, 100 y): forward stays forward, glTF's +X (the model's left)
// becomes -Y, up stays up. Directions (normals, tangents) map the same way without the 100,
// scales permute to (sz, sx, sy), and a rotation quaternion (x, y, z, w) becomes
// (-z, x, -y, w), the same rotation seen through the mirrored axes. The mirroring flips the
// winding of every triangle, so the second and third index of each are swapped to keep the
// front faces in front.
//
// Skinned mesh (the first node holding both a mesh and a skin):
//   - Bones are the skin's joints, parents before children; a bone's parent is its nearest
//     ancestor node that is also a joint. The reference pose is each joint node's local
//     transform; for a root bone it also takes in the transforms of the non-joint nodes above
//     it, so the bind pose matches the vertices. Unnamed joints are called "Joint<node>", and a
//     name used twice (bone names ignore letter case) gets "_<node>" appended.
//   - Every material of the file becomes a slot named after it ("Material<index>" when
//     unnamed), holding a new UMaterial; primitives without a material use an extra slot
//     "DefaultMaterial". Each triangle primitive becomes one render section over its own
//     vertices with the primitive's material slot.
//   - Vertex data: POSITION, NORMAL, TANGENT (when absent, a tangent perpendicular to the
//     normal), TEXCOORD_n (as many channels as the richest primitive has, zero where a
//     primitive has fewer), COLOR_0 (glTF's linear colours stored sRGB-encoded, as the engine
//     keeps vertex colours; white where absent), JOINTS_n/WEIGHTS_n for n up to 2 (weights
//     rescaled to sum to 65535; a vertex without any weight is refused).
//   - Morph targets: one per target index, named from the mesh's extras.targetNames or
//     "Morph<index>" (the characters . : / \ , which would split an object path, become _,
//     and a name used twice gets "_<index>"); POSITION and NORMAL deltas of every primitive,
//     vertices that do not move left out. Slot names are made unique the same way.
//   - The LOD 0 buffers keep their CPU copies, and the GPU copies are made (InitResources).
// Animation (the file's first animation): translation, rotation and scale channels of the
// joints of the file's first skin (or of any node when the file has no skin), sampled into
// one track per animated joint with the same names and root folding as the mesh's bones.
// Keys are taken as they are when all of them fall on one even spacing from time 0, and
// sampled at 30 per second otherwise; play length is the last key's time. Channels of other
// nodes and morph weight channels are not imported.
//
// Anything the file lacks or holds out of range (a damaged or truncated file, an accessor
// reaching past its buffer, a joint index past the skin, no skinned mesh, no animation)
// gives null with the reason in OutError, and leaves no object behind.

#include "CoreMinimal.h"

class UAnimSequence;
class UObject;
class USkeletalMesh;

class ASSETIO_API FGltfImporter
{
public:
	/**
	 * Makes the skeletal mesh Name in Outer (the transient package when null) from Filename,
	 * with its skeleton (a USkeleton inside the mesh), material slots and morph targets. A
	 * Name of None gets a unique name made from the file's base name. Null with the reason in
	 * OutError when the file cannot be read or converted, or Outer already holds an object
	 * called Name.
	 */
	static USkeletalMesh* ImportSkeletalMesh(const FString& Filename, UObject* Outer, FName Name, FString& OutError);

	/** Makes the animation Name in Outer (the transient package when null) from Filename; null with the reason in OutError. */
	static UAnimSequence* ImportAnimation(const FString& Filename, UObject* Outer, FName Name, FString& OutError);
};
