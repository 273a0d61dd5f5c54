#include "InspectCommand.h"

#include "CanonicalJsonPrinter.h"
#include "ConfigurationChecker.h"
#include "ContentMount.h"
#include "DataAssets/HCCharacterEditorSkinCompositionData.h"
#include "DataAssets/HCDataAssets.h"
#include "Misc/Paths.h"

#include "CLI11.h"

#include <cstdio>
#include <functional>

namespace
{
	void PrintLoadFailure(const FString& What, const FString& File)
	{
		// The reason has already gone to standard error through the log.
		std::fprintf(stderr, "vorpex: cannot load %s %s\n", *What, *File);
	}

	/** Loads File as AssetType, prints it, and reports what Check finds when asked. */
	template <typename AssetType>
	int32 Inspect(const FInspectCommand::FOptions& Options, const TCHAR* What, const std::function<TArray<FString>(const AssetType&)>& Check)
	{
		const FString File(Options.File);
		TStrongObjectPtr<AssetType> Asset = AssetType::Load(File);
		if (!Asset.IsValid())
		{
			PrintLoadFailure(What, File);
			return FInspectCommand::ExitLoadFailed;
		}
		FString Json;
		if (!FCanonicalJsonPrinter::PrintAsset(*Asset, Json))
		{
			std::fprintf(stderr, "vorpex: cannot write %s %s as JSON\n", What, *File);
			return FInspectCommand::ExitLoadFailed;
		}
		std::fputs(*Json, stdout);
		std::fflush(stdout);
		if (!Options.bCheck)
		{
			return 0;
		}
		const TArray<FString> Problems = Check(*Asset);
		for (const FString& Problem : Problems)
		{
			std::fprintf(stderr, "%s\n", *Problem);
		}
		return Problems.IsEmpty() ? 0 : FInspectCommand::ExitCheckFailed;
	}
}

CLI::App* FInspectCommand::Register(CLI::App& App)
{
	CLI::App* Command = App.add_subcommand("inspect", "Print a data file's records as canonical JSON");
	Command->footer("Object paths in FILE (\"/Game/...\") resolve against --content, or else against the nearest folder named "
					"Content that holds FILE.\n"
					"With --check, each configuration error is one line on standard error, naming the JSON path of the bad value.\n"
					"Exit codes: 0 success, 1 FILE (or --catalog) could not be loaded, 2 --check found errors, 64 bad usage.");
	Command->add_option("kind", Options.Kind, "What FILE holds: catalog, descriptor, config (character editor configuration) or skin (skin composition)")
		->required()
		->transform(CLI::IsMember({"catalog", "descriptor", "config", "skin"}));
	Command->add_option("file", Options.File, "The JSON data file")->required();
	Command->add_option("--content", Options.ContentDir, "Content folder to mount at /Game/")->transform(CLI::ExistingDirectory);
	CLI::Option* CheckFlag = Command->add_flag("--check", Options.bCheck, "Also report configuration errors (exit 2 when there are any)");
	Command->add_option("--catalog", Options.CatalogFile, "With a descriptor: the catalog whose lists its positions index")->needs(CheckFlag);
	return Command;
}

void FInspectCommand::Validate() const
{
	if (!Options.CatalogFile.empty() && Options.Kind != "descriptor")
	{
		throw CLI::ValidationError("--catalog", "only a descriptor is checked against a catalog");
	}
}

int32 FInspectCommand::Run(FHostEngine& Engine)
{
	const FString File(Options.File);
	const FScopedContentMount Mount(Options.ContentDir.empty() ? FindEnclosingContent(File) : FPaths::ConvertRelativePathToFull(FString(Options.ContentDir)));

	if (Options.Kind == "catalog")
	{
		return Inspect<UHCAssetCatalogData>(Options, TEXT("catalog"), &FConfigurationChecker::CheckCatalog);
	}
	if (Options.Kind == "descriptor")
	{
		TStrongObjectPtr<UHCAssetCatalogData> Catalog;
		if (!Options.CatalogFile.empty())
		{
			Catalog = UHCAssetCatalogData::Load(FString(Options.CatalogFile));
			if (!Catalog.IsValid())
			{
				PrintLoadFailure(TEXT("catalog"), FString(Options.CatalogFile));
				return ExitLoadFailed;
			}
		}
		return Inspect<UHCCharacterDescriptorData>(Options, TEXT("descriptor"), [&Catalog](const UHCCharacterDescriptorData& Descriptor)
			{ return FConfigurationChecker::CheckDescriptor(Descriptor, Catalog.Get()); });
	}
	if (Options.Kind == "config")
	{
		return Inspect<UHCCharacterEditorConfigData>(Options, TEXT("character editor configuration"), &FConfigurationChecker::CheckEditorConfig);
	}
	return Inspect<UHCCharacterEditorSkinCompositionData>(Options, TEXT("skin composition"), &FConfigurationChecker::CheckSkinComposition);
}
