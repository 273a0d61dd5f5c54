#pragma once

// FGltfBuilder: a glTF document being written, its JSON and the one binary buffer that every
// accessor and image lives in, packed as a .glb at the end.

#include "CoreMinimal.h"

#include <nlohmann/json.hpp>

namespace UE::AssetIO::Private
{
	class FGltfBuilder
	{
	public:
		using FJson = nlohmann::json;

		static constexpr int32 FloatType = 5126;
		static constexpr int32 UnsignedByteType = 5121;
		static constexpr int32 UnsignedShortType = 5123;
		static constexpr int32 UnsignedIntType = 5125;
		static constexpr int32 ArrayBufferTarget = 34962;
		static constexpr int32 ElementArrayBufferTarget = 34963;

		FJson Json = {{"asset", {{"version", "2.0"}, {"generator", "Vorpex FGltfExporter"}}}};

		/**
		 * Appends Bytes to the buffer, 4-byte aligned, as a new buffer view (Target 0: none); its
		 * index. A buffer past 2 GiB is a failed check.
		 */
		int32 AddBufferView(const void* Bytes, int64 NumBytes, int32 Target);

		/**
		 * A float accessor of Values, Components per element ("SCALAR", "VEC2", ... by count, or
		 * "MAT4" for 16); with bMinMax its exact per-component bounds. Its index.
		 */
		int32 AddFloatAccessor(const TArray<float>& Values, int32 Components, bool bMinMax, int32 Target);
		/**
		 * A VEC3 float accessor of NumElements zeros but for the elements Indices (increasing)
		 * set to Values, three floats each: sparse when Indices is not empty, without data
		 * otherwise. Carries its bounds.
		 */
		int32 AddSparseVec3Accessor(int32 NumElements, const TArray<uint32>& Indices, const TArray<float>& Values);
		/** A SCALAR accessor of vertex indices below NumVertices, 16-bit when they fit. */
		int32 AddIndexAccessor(const TArray<uint32>& Indices, uint32 NumVertices);
		/** A VEC4 accessor of joint indices below NumJoints, 8-bit when they fit. */
		int32 AddJointAccessor(const TArray<uint32>& Joints, int32 NumJoints);

		/** Adds Object to the top-level array Kind ("nodes", "meshes", ...); its index there. */
		int32 Add(const char* Kind, FJson Object);

		/**
		 * Wanted, or Wanted with "_<n>" appended when a name of Kind already is (letter case
		 * ignored); the result is taken from then on.
		 */
		FString UniqueName(const char* Kind, const FString& Wanted);

		/** The .glb bytes: header, JSON chunk and, when anything was stored, the binary chunk. */
		TArray<uint8> ToGlb() const;

	private:
		int32 AddAccessor(FJson Accessor);

		TArray<uint8> Bin;
		TMap<FString, TSet<FName>> Names;
	};
}
