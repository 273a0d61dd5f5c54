#include "EditCommand.h"

#include "ActorComponents/HCEditableSkeletalMeshComponent.h"
#include "CharacterEditorSession.h"
#include "ConfigurationChecker.h"
#include "DataAssets/HCCharacterEditorSkinCompositionData.h"
#include "DataAssets/HCDataAssets.h"
#include "EditScript.h"
#include "EditStepRunner.h"
#include "EditorLayout.h"
#include "GltfExporter.h"
#include "HAL/FileManager.h"
#include "HAL/IConsoleManager.h"
#include "HCModelSerializer.h"
#include "HostEngine.h"
#include "Misc/PackageName.h"
#include "Misc/Paths.h"
#include "Models/HCTextureEditingModel.h"
#include "PngWriter.h"
#include "RenderingThread.h"
#include "UniqueFileNames.h"
#include "VorpexHost.h"

#include "CLI11.h"

#include <cstdio>

namespace
{
	const TCHAR* const NothingRun = TEXT("no step was run and nothing was written");

	/** The file a JSON data asset was loaded from, for messages about its contents. */
	FString FileOf(const UObject& Asset)
	{
		FString File;
		return FPackageName::TryConvertLongPackageNameToFilename(FPackageName::ObjectPathToPackageName(Asset.GetPathName()), File, TEXT(".json"))
				   ? File
				   : Asset.GetPathName();
	}

	/** Prints the configuration errors of the character's editor data, which editing cannot get past; true when there are none. */
	bool CheckEditorData(const UHCEditableSkeletalMeshComponent& Body)
	{
		TArray<FString> Problems;
		for (const FString& Problem : FConfigurationChecker::CheckEditorConfig(*Body.CEConfigData))
		{
			Problems.Add(FileOf(*Body.CEConfigData) + TEXT(": ") + Problem);
		}
		for (const FString& Problem : FConfigurationChecker::CheckSkinComposition(*Body.SkinCompositionEditorData))
		{
			Problems.Add(FileOf(*Body.SkinCompositionEditorData) + TEXT(": ") + Problem);
		}
		for (const FString& Problem : Problems)
		{
			std::fprintf(stderr, "vorpex: %s\n", *Problem);
		}
		if (!Problems.IsEmpty())
		{
			std::fprintf(stderr, "vorpex: the character cannot be edited with these configuration errors; %s\n", NothingRun);
		}
		return Problems.IsEmpty();
	}

	/**
	 * Lets an image processor whose inputs and parameters did not change keep its result
	 * instead of drawing it again: the results are the same, and a script's batches after the
	 * first redraw only what its picks changed.
	 */
	void KeepUnchangedResults()
	{
		IConsoleVariable* Setting = IConsoleManager::Get().FindConsoleVariable(TEXT("vorpex.TextureEditing.KeepUnchanged"));
		check(Setting);
		Setting->Set(TEXT("1"));
	}

	/** The albedo render targets of the texture-editing model by the file each is written to; names that meet get "_<n>". */
	TArray<TPair<FString, UTextureRenderTarget2D*>> AlbedoFiles(const UHCTextureEditingModel& Model, const FString& OutDir)
	{
		TArray<TPair<FString, UTextureRenderTarget2D*>> Files;
		FUniqueFileNames Names;
		for (const auto& [Key, Target] : Model.GetBindings())
		{
			if (Key.MaterialKey != EHCTextureEditingMaterialKey::MK_Albedo)
			{
				continue;
			}
			Files.Add({OutDir / (Names.Claim(TEXT("Albedo_") + Key.MeshName) + TEXT(".png")), Target.Get()});
		}
		return Files;
	}

	int32 WriteFailed(const FString& File, const FString& Reason)
	{
		std::fprintf(stderr, "vorpex: cannot write %s (%s)\n", *File, *Reason);
		return FEditCommand::ExitWriteFailed;
	}

	void PrintWritten(const FString& File)
	{
		std::fprintf(stdout, "%s\n", *File);
		std::fflush(stdout);
	}
}

CLI::App* FEditCommand::Register(CLI::App& App)
{
	CLI::App* Command = App.add_subcommand("edit", "Edit a project's character with a script of slider moves");
	Command->footer(
		"STEPS.json is a list of steps, each an object with one of these keys:\n"
		"  {\"section\": S, \"slider\": L, \"value\": V}         move the 1-D slider labelled L in section S to V\n"
		"                                                  (0 to 1 for one shape, -1 to 1 for two)\n"
		"  {\"section\": S, \"slider\": L, \"position\": [X, Y]} move a colour picker or a polygon slider to (X, Y),\n"
		"                                                  each from -1 to 1, y pointing down (a polygon position\n"
		"                                                  in none of its triangles leaves the shapes as they are)\n"
		"  {\"tick\": N}                                     tick the world N times, showing what changed\n"
		"  {\"save\": FILE}                                  save the edit state to FILE\n"
		"  {\"load\": FILE}                                  load the edit state in FILE\n"
		"  {\"cullMasks\": OBJECT_PATH}                      show the cull masks of an attachment (a HCAttachmentCullMaskData)\n"
		"                                                  as the body materials' CM_Texture; null shows the white mask\n"
		"  {\"cullData\": OBJECT_PATH}                       hide the body's vertices under an attachment (a vertex cache,\n"
		"                                                  HCAttachmentVertexCacheData, of the body mesh); null shows every vertex\n"
		"Sections and labels are the editor's, letter case ignored; FILE is relative to STEPS.json's folder; OBJECT_PATH is\n"
		"a content path such as /Game/Culling/DA_CullMasks_Tights.DA_CullMasks_Tights.\n"
		"The whole script is checked before the first step runs. Once it has run, DIR receives EditState.bin, "
		"Albedo_<mesh>.png for each edited albedo and Character.glb; each file written is named on standard output.\n"
		"Unchanged texture results are kept between batches (vorpex.TextureEditing.KeepUnchanged).\n"
		"Exit codes: 0 success, 1 the project, the script or a state it loads is wrong or unreadable, 2 a file could not be "
		"written, 64 bad usage.");
	Command->add_option("project", ProjectDir, "The project folder (default: the bundled sample)")->type_name("PROJECT");
	Command->add_option("--script", ScriptFile, "The script of steps (JSON)")->required()->type_name("STEPS.json");
	Command->add_option("--out", OutDir, "The folder to write the results into (made when missing)")->required()->type_name("DIR");
	return Command;
}

int32 FEditCommand::Run(FHostEngine& Engine)
{
	const FString Out = FPaths::ConvertRelativePathToFull(FString(OutDir));
	// Refused before the costly part, which could not write its results anyway.
	if (IFileManager::Get().FileExists(*Out))
	{
		std::fprintf(stderr, "vorpex: cannot write into %s: it is a file, not a folder; %s\n", *Out, NothingRun);
		return ExitWriteFailed;
	}
	return Edit(Engine, FPaths::ConvertRelativePathToFull(FString(ScriptFile)), Out);
}

int32 FEditCommand::Edit(FHostEngine& Engine, const FString& Script, const FString& Out) const
{
	FString Error;
	TUniquePtr<FVorpexHost> Host = FVorpexHost::Open(Engine, FString(ProjectDir), Error);
	FSpawnedCharacter Character;
	if (!Host || !Host->SpawnCharacter(Character, Error))
	{
		std::fprintf(stderr, "vorpex: %s\n", *Error);
		return ExitBadInput;
	}
	UHCEditableSkeletalMeshComponent& Body = *Character.Body;
	if (!CheckEditorData(Body))
	{
		return ExitBadInput;
	}

	KeepUnchangedResults();
	// Opening the editor begins editing; the script is checked against its sliders before any step runs.
	TUniquePtr<FCharacterEditorSession> Editor =
		FCharacterEditorSession::Open(Body, Engine.GetLayout().GetEditorLayoutsDir(), Error);
	if (!Editor)
	{
		std::fprintf(stderr, "vorpex: %s; %s\n", *Error, NothingRun);
		return ExitBadInput;
	}
	const FEditorLayout Layout(Editor->GetEditor());
	TArray<FEditStep> Steps;
	if (!FEditScript::Read(Script, Layout, *Body.GetSkeletalMeshAsset(), Steps, Error))
	{
		std::fprintf(stderr, "vorpex: %s; %s\n", *Error, NothingRun);
		return ExitBadInput;
	}
	FEditStepRunner Runner(*Host, Body, *Editor);
	for (int32 Index = 0; Index < Steps.Num(); ++Index)
	{
		const FEditStepRunner::EResult Result = Runner.Run(Steps[Index], Error);
		if (Result != FEditStepRunner::EResult::Done)
		{
			std::fprintf(stderr, "vorpex: %s: step %d: %s; the steps before it ran, and nothing was written to %s\n", *Script, Index, *Error, *Out);
			return Result == FEditStepRunner::EResult::BadInput ? ExitBadInput : ExitWriteFailed;
		}
	}
	Body.FinishEditing();
	return WriteOutputs(Character, Out);
}

int32 FEditCommand::WriteOutputs(const FSpawnedCharacter& Character, const FString& OutDir)
{
	if (!IFileManager::Get().MakeDirectory(*OutDir, true))
	{
		return WriteFailed(OutDir, TEXT("the folder cannot be made"));
	}
	UHCEditableSkeletalMeshComponent* Body = Character.Body;
	TArray<uint8> Bytes;
	verify(UHCModelSerializer::SerializeEditableSkeletalMeshComponent(Body, Bytes));
	const FString StateFile = OutDir / TEXT("EditState.bin");
	if (!UHCModelSerializer::SaveToFile(StateFile, Bytes))
	{
		return WriteFailed(StateFile, TEXT("the error above says why"));
	}
	PrintWritten(StateFile);

	// Finishing the edit queued the last batch; the read-backs wait for it.
	FlushRenderingCommands();
	for (const auto& [File, Target] : AlbedoFiles(*Body->getTextureEditingModel(), OutDir))
	{
		if (!FPngWriter::WriteRenderTarget(Target, File))
		{
			return WriteFailed(File, TEXT("the warning above says why"));
		}
		PrintWritten(File);
	}

	const FString GlbFile = OutDir / TEXT("Character.glb");
	FString Error;
	if (!FGltfExporter::ExportComponent(Body, GlbFile, FGltfExportOptions(), Error))
	{
		return WriteFailed(GlbFile, Error);
	}
	PrintWritten(GlbFile);
	return 0;
}
