#include "GraphCommand.h"

#include "ContentMount.h"
#include "Controllers/HCTextureEditingController.h"
#include "Controllers/ImageProcessor/HCBlendTexture.h"
#include "Controllers/ImageProcessor/HCColorize.h"
#include "Controllers/ImageProcessor/HCImageTexture.h"
#include "Controllers/ImageProcessor/HCSwizzle.h"
#include "DataAssets/HCCharacterEditorSkinCompositionData.h"
#include "DataAssets/HCDataAssets.h"
#include "Dom/JsonObject.h"
#include "HostEngine.h"
#include "Misc/PackageName.h"
#include "Misc/Paths.h"
#include "Models/HCTextureEditingModel.h"
#include "PngWriter.h"
#include "RenderingThread.h"
#include "Serialization/JsonSerializer.h"
#include "Serialization/JsonWriter.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/UObjectGlobals.h"

#include "CLI11.h"

#include <cstdio>

namespace
{
	using FJsonValues = TArray<TSharedPtr<FJsonValue>>;

	/** A content object path as given, or the object path of a .json file inside the mounted content folder. */
	bool ToObjectPath(const FString& Argument, FString& OutObjectPath)
	{
		if (!Argument.EndsWith(TEXT(".json"), ESearchCase::IgnoreCase))
		{
			OutObjectPath = Argument;
			return true;
		}
		FString PackageName;
		FString Reason;
		if (!FPackageName::TryConvertFilenameToLongPackageName(FPaths::ConvertRelativePathToFull(Argument), PackageName, &Reason))
		{
			std::fprintf(stderr, "vorpex: %s is not inside the mounted content folder: %s\n", *Argument, *Reason);
			return false;
		}
		OutObjectPath = PackageName;
		return true;
	}

	template <typename AssetType>
	AssetType* LoadAsset(const FString& Argument, const TCHAR* What)
	{
		FString ObjectPath;
		if (!ToObjectPath(Argument, ObjectPath))
		{
			return nullptr;
		}
		AssetType* Asset = LoadObject<AssetType>(nullptr, *ObjectPath);
		if (!Asset)
		{
			std::fprintf(stderr, "vorpex: cannot load %s %s\n", What, *Argument);
		}
		return Asset;
	}

	/** Names every node "component/stack/node" by where the model created it. */
	class FNodeNames
	{
	public:
		explicit FNodeNames(const UHCTextureEditingModel& Model)
		{
			const TArray<FHCTextureEditingComponent>& Components = Model.GetImageProcessorComponents();
			for (int32 Component = 0; Component < Components.Num(); ++Component)
			{
				const TArray<FHCTextureEditingProcessorStack>& Stacks = Components[Component].ImageProcessorStacks;
				for (int32 Stack = 0; Stack < Stacks.Num(); ++Stack)
				{
					for (int32 Node = 0; Node < Stacks[Stack].ImageProcessorNodes.Num(); ++Node)
					{
						Names.Add(Stacks[Stack].ImageProcessorNodes[Node], FString::Printf(TEXT("%d/%d/%d"), Component, Stack, Node));
					}
				}
			}
		}

		/** The node's name, or a JSON null for no node. */
		TSharedPtr<FJsonValue> Of(const UHCImageProcessor* Processor) const
		{
			const FString* Name = Processor ? Names.Find(Processor) : nullptr;
			return Name ? TSharedPtr<FJsonValue>(MakeShared<FJsonValueString>(*Name)) : TSharedPtr<FJsonValue>(MakeShared<FJsonValueNull>());
		}

	private:
		TMap<const UHCImageProcessor*, FString> Names;
	};

	TSharedPtr<FJsonValue> ColorValue(const FColor& Color)
	{
		return MakeShared<FJsonValueArray>(FJsonValues{MakeShared<FJsonValueNumber>(Color.R), MakeShared<FJsonValueNumber>(Color.G),
			MakeShared<FJsonValueNumber>(Color.B), MakeShared<FJsonValueNumber>(Color.A)});
	}

	template <typename EnumType>
	FString EnumName(EnumType Value)
	{
		return StaticEnum<EnumType>()->GetNameStringByValue(int64(Value));
	}

	TSharedPtr<FJsonObject> DescribeNode(const UHCImageProcessor& Processor, const FNodeNames& Names)
	{
		auto Node = MakeShared<FJsonObject>();
		Node->SetField(TEXT("id"), Names.Of(&Processor));
		Node->SetStringField(TEXT("class"), Processor.GetClass()->GetName());
		if (const auto* Dependant = Cast<UHCDependantImageProcessor>(&Processor))
		{
			auto Inputs = MakeShared<FJsonObject>();
			for (const auto& [Slot, Input] : Dependant->GetDependencies())
			{
				Inputs->SetField(FString::FromInt(Slot), Names.Of(Input));
			}
			Node->SetObjectField(TEXT("inputs"), Inputs);
		}
		if (const auto* Image = Cast<UHCImageTexture>(&Processor))
		{
			Node->SetStringField(TEXT("texture"), Image->GetInputTexture() ? Image->GetInputTexture()->GetPathName() : FString());
		}
		else if (const auto* Colorize = Cast<UHCColorize>(&Processor))
		{
			Node->SetField(TEXT("color"), ColorValue(Colorize->GetColor()));
		}
		else if (const auto* Swizzle = Cast<UHCSwizzle>(&Processor))
		{
			FJsonValues Channels;
			for (EHCSwizzleChannel Channel : Swizzle->GetArrangement())
			{
				Channels.Add(MakeShared<FJsonValueString>(EnumName(Channel)));
			}
			Node->SetArrayField(TEXT("arrangement"), Channels);
		}
		else if (const auto* Blend = Cast<UHCBlendTexture>(&Processor))
		{
			Node->SetStringField(TEXT("operation"), EnumName(Blend->GetOperation()));
		}
		return Node;
	}

	TSharedPtr<FJsonObject> DescribeModel(const UHCTextureEditingModel& Model, const FNodeNames& Names)
	{
		auto Root = MakeShared<FJsonObject>();
		FJsonValues Components;
		for (const FHCTextureEditingComponent& Component : Model.GetImageProcessorComponents())
		{
			FJsonValues Stacks;
			for (const FHCTextureEditingProcessorStack& Stack : Component.ImageProcessorStacks)
			{
				auto StackObject = MakeShared<FJsonObject>();
				FJsonValues Nodes;
				for (const UHCImageProcessor* Node : Stack.ImageProcessorNodes)
				{
					Nodes.Add(MakeShared<FJsonValueObject>(DescribeNode(*Node, Names)));
				}
				StackObject->SetArrayField(TEXT("nodes"), Nodes);
				FJsonValues Interface;
				for (const UHCImageProcessor* Processor : Stack.InterfaceProcessors)
				{
					Interface.Add(Names.Of(Processor));
				}
				StackObject->SetArrayField(TEXT("interface"), Interface);
				Stacks.Add(MakeShared<FJsonValueObject>(StackObject));
			}
			auto ComponentObject = MakeShared<FJsonObject>();
			ComponentObject->SetArrayField(TEXT("stacks"), Stacks);
			Components.Add(MakeShared<FJsonValueObject>(ComponentObject));
		}
		Root->SetArrayField(TEXT("components"), Components);

		FJsonValues Results;
		for (const UHCImageProcessor* Result : Model.GetResultNodes())
		{
			Results.Add(Names.Of(Result));
		}
		Root->SetArrayField(TEXT("resultNodes"), Results);

		// Bindings name the node whose result render target they show.
		TMap<const UTextureRenderTarget2D*, const UHCImageProcessor*> NodeOfTarget;
		for (const UHCImageProcessor* Result : Model.GetResultNodes())
		{
			NodeOfTarget.Add(Result->GetResultRenderTarget(), Result);
		}
		FJsonValues Bindings;
		for (const auto& [Key, Target] : Model.GetBindings())
		{
			auto Binding = MakeShared<FJsonObject>();
			Binding->SetStringField(TEXT("mesh"), Key.MeshName);
			Binding->SetStringField(TEXT("materialKey"), EnumName(Key.MaterialKey));
			const UHCImageProcessor* const* Node = NodeOfTarget.Find(Target);
			Binding->SetField(TEXT("node"), Names.Of(Node ? *Node : nullptr));
			Bindings.Add(MakeShared<FJsonValueObject>(Binding));
		}
		Root->SetArrayField(TEXT("bindings"), Bindings);
		return Root;
	}

	FJsonValues DescribePickers(const UHCTextureEditingController& Controller, const UHCTextureEditingModel& Model, const FNodeNames& Names)
	{
		FJsonValues Pickers;
		const TArray<FHCTextureEditingComponent>& Components = Model.GetImageProcessorComponents();
		for (const FHCTextureEditingColorPickerData& Picker : Controller.GetColorPickers())
		{
			auto PickerObject = MakeShared<FJsonObject>();
			PickerObject->SetStringField(TEXT("texture"), Picker.texture2D ? Picker.texture2D->GetPathName() : FString());
			PickerObject->SetNumberField(TEXT("width"), double(Picker.width));
			PickerObject->SetNumberField(TEXT("height"), double(Picker.height));
			FJsonValues Bindings;
			for (int32 Index = 0; Index < Picker.components.Num() && Index < Picker.stacks.Num() && Index < Picker.processes.Num(); ++Index)
			{
				auto Binding = MakeShared<FJsonObject>();
				const int64 Component = Picker.components[Index];
				const int64 Stack = Picker.stacks[Index];
				const int64 Process = Picker.processes[Index];
				Binding->SetNumberField(TEXT("component"), double(Component));
				Binding->SetNumberField(TEXT("stack"), double(Stack));
				Binding->SetNumberField(TEXT("process"), double(Process));
				const UHCImageProcessor* Node = nullptr;
				if (Component >= 0 && Component < Components.Num() && Stack >= 0 && Stack < Components[Component].ImageProcessorStacks.Num())
				{
					const TArray<TObjectPtr<UHCImageProcessor>>& Interface = Components[Component].ImageProcessorStacks[Stack].InterfaceProcessors;
					Node = Process >= 0 && Process < Interface.Num() ? Interface[Process].Get() : nullptr;
				}
				Binding->SetField(TEXT("node"), Names.Of(Node));
				Bindings.Add(MakeShared<FJsonValueObject>(Binding));
			}
			PickerObject->SetArrayField(TEXT("bindings"), Bindings);
			Pickers.Add(MakeShared<FJsonValueObject>(PickerObject));
		}
		return Pickers;
	}

	/** Runs one batch of the model's results and writes each stack's result; false when a file could not be written. */
	bool RunAndWrite(const UHCTextureEditingModel& Model, const UHCCharacterEditorSkinCompositionData& Skin, const FString& OutDir)
	{
		TSet<UHCImageProcessor*> Roots;
		for (UHCImageProcessor* Result : Model.GetResultNodes())
		{
			Roots.Add(Result);
		}
		UHCTextureEditingController::ProcessImageGameThread(Roots);
		FlushRenderingCommands();
		bool bWritten = true;
		const TArray<FHCTextureEditingComponent>& Components = Model.GetImageProcessorComponents();
		for (int32 Component = 0; Component < Components.Num(); ++Component)
		{
			const TArray<FHCTextureEditingProcessorStack>& Stacks = Components[Component].ImageProcessorStacks;
			for (int32 Stack = 0; Stack < Stacks.Num(); ++Stack)
			{
				if (Stacks[Stack].ImageProcessorNodes.IsEmpty())
				{
					continue;
				}
				const FString StackName = Skin.components[Component].processorStacks[Stack].name;
				const FString File = FPaths::Combine(OutDir, FString::Printf(TEXT("%d_%d_%s.png"), Component, Stack, *StackName));
				bWritten &= FPngWriter::WriteRenderTarget(Stacks[Stack].ImageProcessorNodes.Last()->GetResultRenderTarget(), File);
			}
		}
		return bWritten;
	}
}

CLI::App* FGraphCommand::Register(CLI::App& App)
{
	CLI::App* Command = App.add_subcommand("graph", "Print a skin composition's processor graphs as JSON");
	Command->footer("SKIN and CONFIG are content object paths (/Game/...) or .json files inside the content folder, which is --content or else "
					"the nearest folder named Content that holds SKIN.\n"
					"Nodes are named component/stack/node. Exit codes: 0 success, 1 a file could not be loaded, 2 the graph could not be built "
					"or its results written, 64 bad usage.");
	Command->add_option("skin", Options.Skin, "The skin composition")->required();
	Command->add_option("--config", Options.Config, "The character editor configuration, for the colour pickers");
	Command->add_option("--content", Options.ContentDir, "Content folder to mount at /Game/")->transform(CLI::ExistingDirectory);
	Command->add_option("--run", Options.RunDir, "Run one batch and write every stack's result into this folder as PNG");
	return Command;
}

int32 FGraphCommand::Run(FHostEngine& Engine)
{
	FString ModuleError;
	if (!Engine.StartVorpexModule(ModuleError))
	{
		std::fprintf(stderr, "vorpex: the Vorpex module cannot be started: %s\n", *ModuleError);
		return ExitGraphFailed;
	}
	const FString SkinArgument(Options.Skin);
	const FScopedContentMount Mount(
		Options.ContentDir.empty() ? FindEnclosingContent(SkinArgument) : FPaths::ConvertRelativePathToFull(FString(Options.ContentDir)));
	UHCCharacterEditorSkinCompositionData* Skin = LoadAsset<UHCCharacterEditorSkinCompositionData>(SkinArgument, TEXT("skin composition"));
	UHCCharacterEditorConfigData* Config =
		Options.Config.empty() ? nullptr : LoadAsset<UHCCharacterEditorConfigData>(FString(Options.Config), TEXT("character editor configuration"));
	if (!Skin || (!Options.Config.empty() && !Config))
	{
		return ExitLoadFailed;
	}

	TStrongObjectPtr<UHCTextureEditingModel> Model(NewObject<UHCTextureEditingModel>());
	Model->Initialize(Skin, nullptr);
	if (Model->GetImageProcessorComponents().IsEmpty() && !Skin->components.IsEmpty())
	{
		// The model has logged why.
		std::fprintf(stderr, "vorpex: the graphs of %s cannot be built\n", *SkinArgument);
		return ExitGraphFailed;
	}
	const FNodeNames Names(*Model);
	TSharedPtr<FJsonObject> Root = DescribeModel(*Model, Names);

	TStrongObjectPtr<UHCTextureEditingController> Controller;
	if (Config)
	{
		Controller.Reset(NewObject<UHCTextureEditingController>());
		Controller->Initialize(Config, Skin);
		Controller->SetModel(Model.Get());
		Root->SetArrayField(TEXT("pickers"), DescribePickers(*Controller, *Model, Names));
	}

	FString Json;
	FJsonSerializer::Serialize(Root.ToSharedRef(), TJsonWriterFactory<>::Create(&Json));
	std::fputs(*Json, stdout);
	std::fputs("\n", stdout);
	std::fflush(stdout);

	if (Options.RunDir.empty())
	{
		return 0;
	}
	if (Controller)
	{
		// As beginning to edit does: every picker gives its colorize processors their start colour.
		Controller->ResetToConfigValues();
	}
	return RunAndWrite(*Model, *Skin, FPaths::ConvertRelativePathToFull(FString(Options.RunDir))) ? 0 : ExitGraphFailed;
}
