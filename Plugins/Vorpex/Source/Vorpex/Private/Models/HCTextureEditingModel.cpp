#include "Models/HCTextureEditingModel.h"

#include "Controllers/ImageProcessor/HCBlendTexture.h"
#include "Controllers/ImageProcessor/HCColorize.h"
#include "Controllers/ImageProcessor/HCImageTexture.h"
#include "Controllers/ImageProcessor/HCSwizzle.h"
#include "DataAssets/HCCharacterEditorSkinCompositionData.h"
#include "Engine/Texture2D.h"
#include "HAL/IConsoleManager.h"
#include "Misc/PackageName.h"
#include "Misc/Paths.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"
#include "Templates/Casts.h"

namespace
{
	/**
	 * Every node gets a result of this size; the edited material textures are that large. Hosts
	 * without a GPU may ask for less, so that edits show at interactive speed on a CPU driver.
	 */
	TAutoConsoleVariable<int32> CVarResultSize(TEXT("vorpex.TextureEditing.ResultSize"), 4096,
		TEXT("The width and height, in texels, of every texture-editing result (1 to 8192; default 4096). Read when the graphs are built."));

	int32 NodeResultSize()
	{
		return FMath::Clamp(CVarResultSize.GetValueOnGameThread(), 1, 8192);
	}

	template <typename ProcessorType>
	ProcessorType* AddNode(FHCTextureEditingProcessorStack& Stack)
	{
		ProcessorType* Processor = NewObject<ProcessorType>(GetTransientPackage());
		Stack.ImageProcessorNodes.Add(Processor);
		return Processor;
	}

	/** Whether Value names an EHCSwizzleChannel; the arrangement reaches the shader as a number. */
	bool IsSwizzleChannel(int32 Value)
	{
		return Value >= static_cast<int32>(EHCSwizzleChannel::SC_Zero) && Value <= static_cast<int32>(EHCSwizzleChannel::SC_One);
	}
}

void UHCTextureEditingModel::Initialize(UHCCharacterEditorSkinCompositionData* SkinCompositionData, USkeletalMesh* Mesh)
{
	bDirty = true;
	ResultNodes.Empty();
	BindingToRenderTarget.Empty();
	ImageProcessorComponents.Empty();
	DataDirectory.Empty();

	if (!SkinCompositionData)
	{
		UE_LOG(LogTemp, Error, TEXT("The texture-editing model got no skin composition; it stays empty."));
		return;
	}
	DataDirectory = FPaths::GetPath(FPackageName::ObjectPathToPackageName(SkinCompositionData->GetPathName()));

	// The whole configuration is built before any node allocates its render target, so an
	// invalid processor anywhere costs no GPU memory and leaves no half-built graph behind.
	const bool bBuilt = BuildGraphs(*SkinCompositionData);
	CurrentComponent = nullptr;
	CurrentStack = nullptr;
	if (!bBuilt)
	{
		UE_LOG(LogTemp, Error, TEXT("%s; the texture-editing model stays empty."), *ConfigurationError);
		ImageProcessorComponents.Empty();
		ConfigurationError.Empty();
		return;
	}

	for (int32 ComponentIndex = 0; ComponentIndex < ImageProcessorComponents.Num(); ++ComponentIndex)
	{
		const FHCCharacterEditorSkinCompositionComponent& ComponentData = SkinCompositionData->components[ComponentIndex];
		const FHCTextureEditingComponent& Component = ImageProcessorComponents[ComponentIndex];
		for (int32 StackIndex = 0; StackIndex < Component.ImageProcessorStacks.Num(); ++StackIndex)
		{
			const FHCTextureEditingProcessorStack& Stack = Component.ImageProcessorStacks[StackIndex];
			for (UHCImageProcessor* Node : Stack.ImageProcessorNodes)
			{
				Node->Initialize(NodeResultSize(), NodeResultSize());
			}
			const FString& MaterialKey = ComponentData.processorStacks[StackIndex].materialKey;
			if (MaterialKey.IsEmpty())
			{
				continue;
			}
			UHCImageProcessor* Result = Stack.ImageProcessorNodes.Last();
			ResultNodes.Add(Result);
			for (const FString& MeshName : ComponentData.meshes)
			{
				BindingToRenderTarget.Add(FHCTextureEditingBindingKey(MeshName, MaterialKey), Result->GetResultRenderTarget());
			}
		}
	}
}

bool UHCTextureEditingModel::BuildGraphs(const UHCCharacterEditorSkinCompositionData& SkinCompositionData)
{
	for (int32 ComponentIndex = 0; ComponentIndex < SkinCompositionData.components.Num(); ++ComponentIndex)
	{
		const FHCCharacterEditorSkinCompositionComponent& ComponentData = SkinCompositionData.components[ComponentIndex];
		CurrentComponent = &ImageProcessorComponents.AddDefaulted_GetRef();
		for (int32 StackIndex = 0; StackIndex < ComponentData.processorStacks.Num(); ++StackIndex)
		{
			const FHCCharacterEditorSkinCompositionProcessorStack& StackData = ComponentData.processorStacks[StackIndex];
			CurrentStack = &CurrentComponent->ImageProcessorStacks.AddDefaulted_GetRef();
			UHCImageProcessor* Chain = nullptr;
			for (int32 ProcessorIndex = 0; ProcessorIndex < StackData.processors.Num(); ++ProcessorIndex)
			{
				const FHCCharacterEditorSkinCompositionProcessor& Processor = StackData.processors[ProcessorIndex];
				try
				{
					if (Processor.type.Equals(TEXT("ImageTexture"), ESearchCase::CaseSensitive))
					{
						Chain = AddImageProcessor(Processor.blendMode, Processor.stringParams, Processor.intParams, Chain);
					}
					else if (Processor.type.Equals(TEXT("Swizzle"), ESearchCase::CaseSensitive))
					{
						Chain = AddSwizzleProcessor(Processor.blendMode, Processor.stringParams, Processor.intParams, Chain);
					}
					else if (Processor.type.Equals(TEXT("Colorize"), ESearchCase::CaseSensitive))
					{
						Chain = AddColorizeProcessor(Processor.blendMode, Processor.stringParams, Processor.intParams, Chain);
					}
					else
					{
						Chain = Reject(FString::Printf(TEXT("unknown processor type \"%s\""), *Processor.type));
					}
				}
				catch (const FCheckFailure& Failure)
				{
					Chain = Reject(FString::Printf(TEXT("check \"%s\" failed"), Failure.GetExpression().c_str()));
				}
				if (!Chain)
				{
					ConfigurationError = FString::Printf(TEXT("Skin composition component %d, processor stack %d, processor %d: %s"),
						ComponentIndex, StackIndex, ProcessorIndex, *ConfigurationError);
					return false;
				}
			}
			if (!StackData.materialKey.IsEmpty() && CurrentStack->ImageProcessorNodes.IsEmpty())
			{
				ConfigurationError = FString::Printf(TEXT("Skin composition component %d, processor stack %d: material key \"%s\" but no processors"),
					ComponentIndex, StackIndex, *StackData.materialKey);
				return false;
			}
		}
	}
	return true;
}

UHCImageProcessor* UHCTextureEditingModel::AddImageProcessor(const FString& BlendMode, const TArray<FString>& stringParams, const TArray<int32>& intParams, UHCImageProcessor* Chain)
{
	UHCImageProcessor* Source = nullptr;
	UHCImageProcessor* Mask = nullptr;
	if (stringParams.Num() == 1 && intParams.IsEmpty())
	{
		Source = AddImageTexture(stringParams[0]);
	}
	else if (stringParams.Num() == 1 && intParams.Num() == 2)
	{
		check(intParams[0] == -1);
		check(intParams[1] != -1);
		// The mask is resolved first so that a bad reference is reported before any texture loads.
		Mask = StackReference(intParams[1]);
		if (!Mask)
		{
			return nullptr;
		}
		Source = AddImageTexture(stringParams[0]);
	}
	else if (stringParams.IsEmpty() && intParams.Num() == 2)
	{
		check(intParams[0] != -1);
		check(intParams[1] != -1);
		Source = StackReference(intParams[0]);
		Mask = Source ? StackReference(intParams[1]) : nullptr;
		if (!Mask)
		{
			return nullptr;
		}
	}
	else
	{
		return Reject(FString::Printf(TEXT("an image texture takes one path, one path and two stack references, or two stack references, not %d strings and %d integers"),
			stringParams.Num(), intParams.Num()));
	}
	CurrentStack->InterfaceProcessors.Add(nullptr);
	return AddBlendingProcessor(Chain, Source, Mask);
}

UHCImageProcessor* UHCTextureEditingModel::AddSwizzleProcessor(const FString& BlendMode, const TArray<FString>& stringParams, const TArray<int32>& intParams, UHCImageProcessor* Chain)
{
	if (!Chain)
	{
		return Reject(TEXT("a swizzle needs an earlier processor in its stack"));
	}
	if (intParams.Num() == 4)
	{
		for (int32 Channel : intParams)
		{
			if (!IsSwizzleChannel(Channel))
			{
				return Reject(FString::Printf(TEXT("%d is no swizzle channel"), Channel));
			}
		}
		UHCSwizzle* Swizzle = AddNode<UHCSwizzle>(*CurrentStack);
		CurrentStack->InterfaceProcessors.Add(Swizzle);
		Swizzle->SetDependency(Chain, 0);
		Swizzle->SetArrangement(static_cast<EHCSwizzleChannel>(intParams[0]), static_cast<EHCSwizzleChannel>(intParams[1]),
			static_cast<EHCSwizzleChannel>(intParams[2]), static_cast<EHCSwizzleChannel>(intParams[3]));
		return AddOptionalBlending(BlendMode, Chain, Swizzle);
	}
	if (intParams.IsEmpty() && stringParams.Num() == 1 && stringParams[0].Equals(TEXT("ArmToMads"), ESearchCase::IgnoreCase))
	{
		// The packed-channel layout this names is what the shading already reads, so nothing is needed.
		return Chain;
	}
	return Reject(FString::Printf(TEXT("a swizzle takes four channels or the single string \"ArmToMads\", not %d strings and %d integers"),
		stringParams.Num(), intParams.Num()));
}

UHCImageProcessor* UHCTextureEditingModel::AddColorizeProcessor(const FString& BlendMode, const TArray<FString>& stringParams, const TArray<int32>& intParams, UHCImageProcessor* Chain)
{
	if (!Chain)
	{
		return Reject(TEXT("a colorize needs an earlier processor in its stack"));
	}
	const bool bTextureMask = stringParams.Num() == 1 && intParams.IsEmpty();
	const bool bStackMask = stringParams.IsEmpty() && intParams.Num() == 1;
	if (!bTextureMask && !bStackMask && !(stringParams.IsEmpty() && intParams.IsEmpty()))
	{
		return Reject(FString::Printf(TEXT("a colorize takes one mask path, one stack reference or nothing, not %d strings and %d integers"),
			stringParams.Num(), intParams.Num()));
	}
	UHCImageProcessor* StackMask = nullptr;
	if (bStackMask)
	{
		check(intParams[0] != -1);
		StackMask = StackReference(intParams[0]);
		if (!StackMask)
		{
			return nullptr;
		}
	}

	UHCColorize* Colorize = AddNode<UHCColorize>(*CurrentStack);
	CurrentStack->InterfaceProcessors.Add(Colorize);
	Colorize->SetDependency(Chain, 0);
	UHCImageProcessor* Mask = bTextureMask ? AddImageTexture(stringParams[0]) : StackMask;
	return AddBlendingProcessor(Chain, Colorize, Mask);
}

UHCImageProcessor* UHCTextureEditingModel::AddOptionalBlending(const FString& BlendMode, UHCImageProcessor* Base, UHCImageProcessor* Layer)
{
	if (BlendMode.IsEmpty() || BlendMode.Equals(TEXT("Normal"), ESearchCase::CaseSensitive))
	{
		return Base;
	}
	if (!BlendMode.Equals(TEXT("LinearDodge"), ESearchCase::CaseSensitive))
	{
		return Reject(FString::Printf(TEXT("unknown blend mode \"%s\""), *BlendMode));
	}
	UHCBlendTexture* Blend = AddNode<UHCBlendTexture>(*CurrentStack);
	Blend->SetDependency(Layer, 0);
	Blend->SetDependency(Base, 1);
	Blend->SetOperation(EHCBlendTextureOperation::BTO_Add);
	return Blend;
}

UHCImageProcessor* UHCTextureEditingModel::AddBlendingProcessor(UHCImageProcessor* A, UHCImageProcessor* B, UHCImageProcessor* Mask)
{
	UHCSwizzle* MaskSwizzle = nullptr;
	if (Mask)
	{
		MaskSwizzle = AddNode<UHCSwizzle>(*CurrentStack);
		MaskSwizzle->SetDependency(Mask, 0);
		MaskSwizzle->SetArrangement(EHCSwizzleChannel::SC_Red, EHCSwizzleChannel::SC_Red, EHCSwizzleChannel::SC_Red, EHCSwizzleChannel::SC_One);
	}
	UHCImageProcessor* BProcessor = B;
	check(BProcessor);
	if (!MaskSwizzle)
	{
		return BProcessor;
	}

	UHCBlendTexture* Blend = AddNode<UHCBlendTexture>(*CurrentStack);
	if (A)
	{
		Blend->SetDependency(A, static_cast<int32>(EHCBlendTextureDependencySlot::BTDS_InputTexture_A));
		Blend->SetDependency(BProcessor, static_cast<int32>(EHCBlendTextureDependencySlot::BTDS_InputTexture_B));
		Blend->SetDependency(MaskSwizzle, static_cast<int32>(EHCBlendTextureDependencySlot::BTDS_MaskTexture));
		Blend->SetOperation(EHCBlendTextureOperation::BTO_Lerp);
	}
	else
	{
		Blend->SetDependency(BProcessor, static_cast<int32>(EHCBlendTextureDependencySlot::BTDS_InputTexture_A));
		Blend->SetDependency(MaskSwizzle, static_cast<int32>(EHCBlendTextureDependencySlot::BTDS_InputTexture_B));
		Blend->SetOperation(EHCBlendTextureOperation::BTO_Mul);
	}
	return Blend;
}

void UHCTextureEditingModel::SetImageTextureInputTexture(UHCImageTexture* Processor, const FString& RelativePath)
{
	const FString FullPath = FPaths::ConvertRelativePathToFull(FPaths::Combine(DataDirectory, RelativePath));
	const FString ObjectPath = FPaths::GetPath(FullPath) + TEXT("/") + FPaths::GetBaseFilename(FullPath);
	UTexture2D* Tex = Cast<UTexture2D>(StaticLoadObject(UTexture2D::StaticClass(), nullptr, *ObjectPath));
	check(Tex);
	Processor->SetInputTexture(Tex);
}

UHCImageTexture* UHCTextureEditingModel::AddImageTexture(const FString& RelativePath)
{
	UHCImageTexture* ImageTexture = AddNode<UHCImageTexture>(*CurrentStack);
	SetImageTextureInputTexture(ImageTexture, RelativePath);
	return ImageTexture;
}

UHCImageProcessor* UHCTextureEditingModel::StackReference(int32 StackIndex)
{
	// Only earlier stacks count: the current stack's result is still being built.
	const int32 EarlierStacks = CurrentComponent->ImageProcessorStacks.Num() - 1;
	if (StackIndex < 0 || StackIndex >= EarlierStacks)
	{
		return Reject(FString::Printf(TEXT("stack reference %d names no earlier stack"), StackIndex));
	}
	const FHCTextureEditingProcessorStack& Stack = CurrentComponent->ImageProcessorStacks[StackIndex];
	if (Stack.ImageProcessorNodes.IsEmpty())
	{
		return Reject(FString::Printf(TEXT("stack reference %d names a stack without processors"), StackIndex));
	}
	return Stack.ImageProcessorNodes.Last();
}

UHCImageProcessor* UHCTextureEditingModel::Reject(const FString& Reason)
{
	ConfigurationError = Reason;
	return nullptr;
}

UTextureRenderTarget2D* UHCTextureEditingModel::GetMeshRenderTarget(const FHCTextureEditingBindingKey& Key)
{
	return BindingToRenderTarget.FindChecked(Key);
}

bool UHCTextureEditingModel::SupportsMesh(const FHCTextureEditingBindingKey& Key) const
{
	return BindingToRenderTarget.Contains(Key);
}

UHCColorize* UHCTextureEditingModel::FindInterfaceColorize(int64 ComponentIndex, int64 StackIndex, int64 ProcessorIndex) const
{
	if (ComponentIndex < 0 || ComponentIndex >= ImageProcessorComponents.Num())
	{
		return nullptr;
	}
	const TArray<FHCTextureEditingProcessorStack>& Stacks = ImageProcessorComponents[ComponentIndex].ImageProcessorStacks;
	if (StackIndex < 0 || StackIndex >= Stacks.Num())
	{
		return nullptr;
	}
	const TArray<TObjectPtr<UHCImageProcessor>>& Interface = Stacks[StackIndex].InterfaceProcessors;
	if (ProcessorIndex < 0 || ProcessorIndex >= Interface.Num())
	{
		return nullptr;
	}
	return Cast<UHCColorize>(Interface[ProcessorIndex].Get());
}
