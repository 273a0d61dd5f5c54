#include "ShaderParameterStruct.h"

#include "Misc/AssertionMacros.h"
#include "RenderGraphResources.h"

#include <cstring>

namespace
{
	template <typename ValueType>
	ValueType MemberValue(const void* Parameters, const FShaderParametersMetadata::FMember& Member)
	{
		return *reinterpret_cast<const ValueType*>(static_cast<const uint8*>(Parameters) + Member.GetOffset());
	}

	/** Names what went wrong with one input of a shader, so every message reads alike. */
	struct FBindingContext
	{
		const TCHAR* ShaderName;
		const TCHAR* StructName;
		const FShaderResourceBinding& Resource;
		const FShaderParametersMetadata::FMember& Member;

		[[noreturn]] void FailKind() const
		{
			checkf(false, TEXT("SetShaderParameters: Member '%s' of %s is a %s (%s), but %s declares '%s' as %s"), Member.GetName(), StructName,
				LexToString(Member.GetBaseType()), Member.GetShaderType(), ShaderName, *Resource.Name, LexToString(Resource.Kind));
		}

		template <typename PointerType>
		PointerType* NonNull(PointerType* Pointer) const
		{
			checkf(Pointer != nullptr, TEXT("SetShaderParameters: Member '%s' of %s is null, but %s reads it"), Member.GetName(), StructName, ShaderName);
			return Pointer;
		}
	};

	void BindResource(FRHIBatchedShaderParameters& Out, const FBindingContext& Context, const void* Parameters)
	{
		const FShaderParametersMetadata::FMember& Member = Context.Member;
		const uint32 Binding = Context.Resource.Binding;
		switch (Context.Resource.Kind)
		{
		case EShaderResourceKind::TextureSRV:
			switch (Member.GetBaseType())
			{
			case UBMT_TEXTURE:
				Out.SetTexture(Binding, Context.NonNull(MemberValue<FRHITexture*>(Parameters, Member)));
				return;
			case UBMT_RDG_TEXTURE:
				Out.SetTexture(Binding, Context.NonNull(MemberValue<FRDGTextureRef>(Parameters, Member))->GetRHI());
				return;
			case UBMT_SRV:
				Out.SetShaderResourceView(Binding, Context.NonNull(MemberValue<FRHIShaderResourceView*>(Parameters, Member)));
				return;
			case UBMT_RDG_TEXTURE_SRV:
				Out.SetShaderResourceView(Binding, Context.NonNull(MemberValue<FRDGTextureSRVRef>(Parameters, Member))->GetRHI());
				return;
			default:
				Context.FailKind();
			}
		case EShaderResourceKind::BufferSRV:
		case EShaderResourceKind::TypedBufferSRV:
			switch (Member.GetBaseType())
			{
			case UBMT_SRV:
				Out.SetShaderResourceView(Binding, Context.NonNull(MemberValue<FRHIShaderResourceView*>(Parameters, Member)));
				return;
			case UBMT_RDG_BUFFER_SRV:
				if (Context.Resource.Kind == EShaderResourceKind::BufferSRV)
				{
					Out.SetShaderResourceView(Binding, Context.NonNull(MemberValue<FRDGBufferSRVRef>(Parameters, Member))->GetRHI());
					return;
				}
				Context.FailKind();
			default:
				Context.FailKind();
			}
		case EShaderResourceKind::TextureUAV:
			switch (Member.GetBaseType())
			{
			case UBMT_UAV:
				Out.SetUAV(Binding, Context.NonNull(MemberValue<FRHIUnorderedAccessView*>(Parameters, Member)));
				return;
			case UBMT_RDG_TEXTURE_UAV:
				Out.SetUAV(Binding, Context.NonNull(MemberValue<FRDGTextureUAVRef>(Parameters, Member))->GetRHI());
				return;
			default:
				Context.FailKind();
			}
		case EShaderResourceKind::BufferUAV:
		case EShaderResourceKind::TypedBufferUAV:
			if (Member.GetBaseType() != UBMT_UAV)
			{
				Context.FailKind();
			}
			Out.SetUAV(Binding, Context.NonNull(MemberValue<FRHIUnorderedAccessView*>(Parameters, Member)));
			return;
		case EShaderResourceKind::Sampler:
			if (Member.GetBaseType() != UBMT_SAMPLER)
			{
				Context.FailKind();
			}
			Out.SetSampler(Binding, Context.NonNull(MemberValue<FRHISamplerState*>(Parameters, Member)));
			return;
		case EShaderResourceKind::UniformBuffer:
			break;
		}
		Context.FailKind();
	}
}

namespace UE::RenderCore
{
	void GatherShaderParameters(FRHIBatchedShaderParameters& OutParameters, const FShader& Shader, const FShaderParametersMetadata& Metadata,
		const void* Parameters)
	{
		const TCHAR* const ShaderName = Shader.GetType()->GetName();
		const TCHAR* const StructName = Metadata.GetStructTypeName();
		// Gathered apart and handed over at the end, so a failed check leaves OutParameters as it was.
		FRHIBatchedShaderParameters Gathered;
		for (const FShaderResourceBinding& Resource : Shader.GetResources())
		{
			if (Resource.Kind == EShaderResourceKind::UniformBuffer)
			{
				checkf(Resource.Name == TEXT("$Global"),
					TEXT("SetShaderParameters: %s reads the cbuffer '%s'; parameter structs fill only loose parameters (the $Global buffer)"), ShaderName,
					*Resource.Name);
				Gathered.LooseParameterData.SetNumZeroed(int32(Resource.Size));
				for (const FShaderUniformMember& Uniform : Resource.Members)
				{
					const FShaderParametersMetadata::FMember* Member = Metadata.FindMember(Uniform.Name);
					checkf(Member != nullptr, TEXT("SetShaderParameters: %s reads '%s', which %s has no member for"), ShaderName, *Uniform.Name, StructName);
					checkf(IsShaderParameterValueType(Member->GetBaseType()),
						TEXT("SetShaderParameters: Member '%s' of %s is a %s (%s), but %s reads it as a loose value"), Member->GetName(), StructName,
						LexToString(Member->GetBaseType()), Member->GetShaderType(), ShaderName);
					checkf(Member->GetSize() == Uniform.Size,
						TEXT("SetShaderParameters: Member '%s' of %s has %u bytes (%s), but %s reads %u bytes there"), Member->GetName(), StructName,
						Member->GetSize(), Member->GetShaderType(), ShaderName, Uniform.Size);
					checkf(uint64(Uniform.Offset) + Uniform.Size <= Resource.Size,
						TEXT("SetShaderParameters: '%s' of %s lies outside its $Global buffer"), *Uniform.Name, ShaderName);
					std::memcpy(Gathered.LooseParameterData.GetData() + Uniform.Offset, static_cast<const uint8*>(Parameters) + Member->GetOffset(),
						Uniform.Size);
				}
				continue;
			}

			const FShaderParametersMetadata::FMember* Member = Metadata.FindMember(Resource.Name);
			checkf(Member != nullptr, TEXT("SetShaderParameters: %s reads '%s' (%s), which %s has no member for"), ShaderName, *Resource.Name,
				LexToString(Resource.Kind), StructName);
			checkf(Resource.ArraySize == 1, TEXT("SetShaderParameters: %s declares '%s' as an array of resources; a member binds one resource"),
				ShaderName, *Resource.Name);
			BindResource(Gathered, FBindingContext{ShaderName, StructName, Resource, *Member}, Parameters);
		}
		OutParameters.Resources.Append(std::move(Gathered.Resources));
		if (!Gathered.LooseParameterData.IsEmpty())
		{
			OutParameters.LooseParameterData = std::move(Gathered.LooseParameterData);
		}
	}

	void CheckShaderRHIMatches(const FShader* Shader, const FShaderType* Type, const FRHIShader* ShaderRHI)
	{
		checkf(Shader != nullptr, TEXT("SetShaderParameters: The shader %s is not available"), Type ? Type->GetName() : TEXT("(none)"));
		checkf(ShaderRHI != nullptr, TEXT("SetShaderParameters: No RHI shader given for %s"), Shader->GetType()->GetName());
		checkf(Shader->GetRHIShaderBase() == ShaderRHI, TEXT("SetShaderParameters: The RHI shader given is not the one of %s, whose bindings the parameters follow"),
			Shader->GetType()->GetName());
	}
}
