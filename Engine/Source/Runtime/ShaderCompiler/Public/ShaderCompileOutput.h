#pragma once

// What FShaderCompiler produces: the SPIR-V words, the errors of a failed compile, and the
// resources the code binds, read from the final SPIR-V, so a caller can build a descriptor set
// layout and lay out its parameter structure without parsing SPIR-V itself.

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"

class FArchive;

/** How a resource is bound; each maps to one Vulkan descriptor type. */
enum class EShaderResourceKind : uint8
{
	/** A cbuffer (or the "$Global" block of loose globals): a uniform buffer. */
	UniformBuffer,
	/** Texture2D and the other sampled textures: a sampled image. */
	TextureSRV,
	/** StructuredBuffer and ByteAddressBuffer: a storage buffer the code only reads. */
	BufferSRV,
	/** RWTexture2D and the other writable textures: a storage image. */
	TextureUAV,
	/** RWStructuredBuffer and RWByteAddressBuffer: a storage buffer the code may write. */
	BufferUAV,
	/** SamplerState: a sampler. */
	Sampler,
	/** Buffer<T>: a uniform texel buffer. */
	TypedBufferSRV,
	/** RWBuffer<T>: a storage texel buffer. */
	TypedBufferUAV,
};

SHADERCOMPILER_API const TCHAR* LexToString(EShaderResourceKind Kind);

/** One member of a uniform buffer, where it lies in the buffer. */
struct SHADERCOMPILER_API FShaderUniformMember
{
	FString Name;
	/** Byte offset from the start of the buffer. */
	uint32 Offset = 0;
	/** Bytes the member occupies; for an array, from its first element to the end of its last. */
	uint32 Size = 0;

	bool operator==(const FShaderUniformMember&) const = default;
};

/** One resource the compiled code binds. */
struct SHADERCOMPILER_API FShaderResourceBinding
{
	/** The HLSL name: the variable's, or the cbuffer's for a uniform buffer. */
	FString Name;
	EShaderResourceKind Kind = EShaderResourceKind::UniformBuffer;
	uint32 Set = 0;
	uint32 Binding = 0;
	/** Elements of a resource array ("Texture2D Layers[4]" has 4); 1 for a single resource, 0 for an unsized array. */
	uint32 ArraySize = 1;
	/** For buffers: bytes of the fixed part of the block (a uniform buffer's whole size); 0 for other kinds. */
	uint32 Size = 0;
	/** For a uniform buffer: its members in declaration order; empty for other kinds. */
	TArray<FShaderUniformMember> Members;

	bool operator==(const FShaderResourceBinding&) const = default;
};

struct SHADERCOMPILER_API FShaderCompileOutput
{
	bool bSucceeded = false;
	/** The optimized and validated SPIR-V module (empty when the compile failed). */
	TArray<uint32> Spirv;
	/**
	 * Why the compile failed, one problem each, as "file:line: message" with the real path of the
	 * file holding the problem (an included file's own path for a problem inside it). A problem
	 * without a place in the source (a missing entry point, a file that cannot be read) reads
	 * "file: message".
	 */
	TArray<FString> Errors;
	/** The resources the code uses, ordered by set and binding. Unused declarations are not listed. */
	TArray<FShaderResourceBinding> Resources;
	/** A compute shader's [numthreads(X, Y, Z)]; all 0 for the other stages. */
	uint32 ThreadGroupSize[3] = {0, 0, 0};

	/** The resource of that name (names compare with letter case), or null. */
	const FShaderResourceBinding* FindResource(const FString& Name) const;

	/** Saves or loads the SPIR-V and its reflection (not the errors: only successful compiles are stored). */
	friend SHADERCOMPILER_API FArchive& operator<<(FArchive& Ar, FShaderCompileOutput& Output);
};
