#include "RenderCoreTestEnvironment.h"
#include "ShaderParameterMacros.h"
#include "ShaderParameterStruct.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

namespace
{
	BEGIN_SHADER_PARAMETER_STRUCT(FEveryKindParameters, )
		SHADER_PARAMETER(float, Scale)
		SHADER_PARAMETER(int32, Count)
		SHADER_PARAMETER(uint32, Flags)
		SHADER_PARAMETER(FVector2f, Offset)
		SHADER_PARAMETER(FVector3f, Normal)
		SHADER_PARAMETER(FVector4f, Tint)
		SHADER_PARAMETER(FLinearColor, Color)
		SHADER_PARAMETER(FIntPoint, Extent)
		SHADER_PARAMETER(FIntVector, Cells)
		SHADER_PARAMETER(FIntVector4, Rect)
		SHADER_PARAMETER(FUintVector4, Mask)
		SHADER_PARAMETER_TEXTURE(Texture2D, SourceTexture)
		SHADER_PARAMETER_SRV(Buffer<float4>, SourceView)
		SHADER_PARAMETER_UAV(RWStructuredBuffer<uint>, Counters)
		SHADER_PARAMETER_SAMPLER(SamplerState, SourceSampler)
		SHADER_PARAMETER_RDG_TEXTURE(Texture2D, GraphTexture)
		SHADER_PARAMETER_RDG_TEXTURE_SRV(Texture2D, GraphTextureView)
		SHADER_PARAMETER_RDG_TEXTURE_UAV(RWTexture2D<float4>, GraphOutput)
		SHADER_PARAMETER_RDG_BUFFER_SRV(StructuredBuffer<int2>, GraphBuffer)
		RDG_TEXTURE_ACCESS(CopySource, ERHIAccess::CopySrc)
		RENDER_TARGET_BINDING_SLOTS()
	END_SHADER_PARAMETER_STRUCT()

	BEGIN_SHADER_PARAMETER_STRUCT(FEmptyParameters, )
	END_SHADER_PARAMETER_STRUCT()

	struct FExpectedMember
	{
		const char* Name;
		size_t Offset;
		size_t Size;
		EUniformBufferBaseType BaseType;
		const char* ShaderType;
	};

#define EXPECTED_MEMBER(Name, BaseType, ShaderType) \
	FExpectedMember{#Name, offsetof(FEveryKindParameters, Name), sizeof(FEveryKindParameters::Name), BaseType, ShaderType}
}

static_assert(std::is_standard_layout_v<FEveryKindParameters> && std::is_aggregate_v<FEveryKindParameters>);

TEST(ShaderParameterStructTest, MetadataListsEveryMemberInDeclarationOrderWithItsKindOffsetSizeAndHlslType)
{
	const std::vector<FExpectedMember> Expected = {
		EXPECTED_MEMBER(Scale, UBMT_FLOAT32, "float"),
		EXPECTED_MEMBER(Count, UBMT_INT32, "int"),
		EXPECTED_MEMBER(Flags, UBMT_UINT32, "uint"),
		EXPECTED_MEMBER(Offset, UBMT_FLOAT32, "float2"),
		EXPECTED_MEMBER(Normal, UBMT_FLOAT32, "float3"),
		EXPECTED_MEMBER(Tint, UBMT_FLOAT32, "float4"),
		EXPECTED_MEMBER(Color, UBMT_FLOAT32, "float4"),
		EXPECTED_MEMBER(Extent, UBMT_INT32, "int2"),
		EXPECTED_MEMBER(Cells, UBMT_INT32, "int3"),
		EXPECTED_MEMBER(Rect, UBMT_INT32, "int4"),
		EXPECTED_MEMBER(Mask, UBMT_UINT32, "uint4"),
		EXPECTED_MEMBER(SourceTexture, UBMT_TEXTURE, "Texture2D"),
		EXPECTED_MEMBER(SourceView, UBMT_SRV, "Buffer<float4>"),
		EXPECTED_MEMBER(Counters, UBMT_UAV, "RWStructuredBuffer<uint>"),
		EXPECTED_MEMBER(SourceSampler, UBMT_SAMPLER, "SamplerState"),
		EXPECTED_MEMBER(GraphTexture, UBMT_RDG_TEXTURE, "Texture2D"),
		EXPECTED_MEMBER(GraphTextureView, UBMT_RDG_TEXTURE_SRV, "Texture2D"),
		EXPECTED_MEMBER(GraphOutput, UBMT_RDG_TEXTURE_UAV, "RWTexture2D<float4>"),
		EXPECTED_MEMBER(GraphBuffer, UBMT_RDG_BUFFER_SRV, "StructuredBuffer<int2>"),
		EXPECTED_MEMBER(CopySource, UBMT_RDG_TEXTURE_ACCESS, ""),
		EXPECTED_MEMBER(RenderTargets, UBMT_RENDER_TARGET_BINDING_SLOTS, ""),
	};

	const FShaderParametersMetadata* Metadata = FEveryKindParameters::FTypeInfo::GetStructMetadata();
	ASSERT_NE(Metadata, nullptr);
	EXPECT_EQ(Metadata, FEveryKindParameters::FTypeInfo::GetStructMetadata()) << "one metadata object per struct";
	EXPECT_STREQ(Metadata->GetStructTypeName(), "FEveryKindParameters");
	EXPECT_EQ(Metadata->GetSize(), sizeof(FEveryKindParameters));
	ASSERT_EQ(Metadata->GetMembers().Num(), int32(Expected.size()));
	for (int32 Index = 0; Index < int32(Expected.size()); ++Index)
	{
		const FShaderParametersMetadata::FMember& Member = Metadata->GetMembers()[Index];
		SCOPED_TRACE(Expected[Index].Name);
		EXPECT_STREQ(Member.GetName(), Expected[Index].Name);
		EXPECT_EQ(Member.GetOffset(), Expected[Index].Offset);
		EXPECT_EQ(Member.GetSize(), Expected[Index].Size);
		EXPECT_EQ(Member.GetBaseType(), Expected[Index].BaseType);
		EXPECT_STREQ(Member.GetShaderType(), Expected[Index].ShaderType);
	}
	EXPECT_EQ(Metadata->FindMember(FString(TEXT("CopySource")))->GetAccess(), ERHIAccess::CopySrc);
	EXPECT_EQ(Metadata->FindMember(FString(TEXT("Tint")))->GetAccess(), ERHIAccess::Unknown);
	EXPECT_EQ(Metadata->FindMember(FString(TEXT("tint"))), nullptr) << "member names match with letter case, as HLSL's do";
	EXPECT_EQ(Metadata->FindMember(FString(TEXT("Missing"))), nullptr);

	EXPECT_TRUE(FEmptyParameters::FTypeInfo::GetStructMetadata()->GetMembers().IsEmpty());
	EXPECT_STREQ(LexToString(UBMT_RDG_TEXTURE_UAV), "SHADER_PARAMETER_RDG_TEXTURE_UAV");
	EXPECT_STREQ(LexToString(UBMT_FLOAT32), "SHADER_PARAMETER");
}

TEST(ShaderParameterStructTest, MembersStartValueInitialisedAndTextureAccessKeepsItsDeclaredAccess)
{
	// Filled with garbage first, so a member the macros forgot to initialise would show.
	alignas(FEveryKindParameters) unsigned char Storage[sizeof(FEveryKindParameters)];
	std::memset(Storage, 0xAB, sizeof(Storage));
	FEveryKindParameters* Parameters = new (Storage) FEveryKindParameters();
	EXPECT_EQ(Parameters->Scale, 0.0f);
	EXPECT_EQ(Parameters->Count, 0);
	EXPECT_EQ(Parameters->Mask, FUintVector4(0, 0, 0, 0));
	EXPECT_EQ(Parameters->Tint, FVector4f(0, 0, 0, 0));
	EXPECT_EQ(Parameters->SourceTexture, nullptr);
	EXPECT_EQ(Parameters->GraphOutput, nullptr);
	EXPECT_EQ(Parameters->GraphBuffer, nullptr);
	EXPECT_EQ(Parameters->CopySource.GetTexture(), nullptr);
	EXPECT_EQ(Parameters->CopySource.GetAccess(), ERHIAccess::CopySrc);
	for (int32 Slot = 0; Slot < FRenderTargetBindingSlots::Num; ++Slot)
	{
		EXPECT_EQ(Parameters->RenderTargets[Slot].GetTexture(), nullptr);
	}

	FRDGTexture* const SomeTexture = reinterpret_cast<FRDGTexture*>(Storage);
	Parameters->CopySource = SomeTexture;
	EXPECT_EQ(Parameters->CopySource.GetTexture(), SomeTexture);
	EXPECT_EQ(Parameters->CopySource.GetAccess(), ERHIAccess::CopySrc) << "assigning a texture keeps the declared access";

	Parameters->RenderTargets[7] = FRenderTargetBinding(SomeTexture, ERenderTargetLoadAction::EClear, 2);
	EXPECT_EQ(Parameters->RenderTargets.Output[7].GetLoadAction(), ERenderTargetLoadAction::EClear);
	EXPECT_EQ(Parameters->RenderTargets.Output[7].GetMipIndex(), 2);
	EXPECT_EQ(RenderCoreTest::CheckMessageOf([&] { Parameters->RenderTargets[8]; }), "FRenderTargetBindingSlots: Slot 8 is out of range (0 to 7)");
	EXPECT_EQ(RenderCoreTest::CheckMessageOf([&] { Parameters->RenderTargets[-1]; }), "FRenderTargetBindingSlots: Slot -1 is out of range (0 to 7)");
	Parameters->~FEveryKindParameters();
}
