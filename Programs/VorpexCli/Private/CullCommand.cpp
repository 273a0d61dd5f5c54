#include "CullCommand.h"

#include "DataAssets/HCVertexCacheData.h"
#include "Engine/SkeletalMesh.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/UObjectGlobals.h"
#include "VertexCacheJson.h"
#include "VorpexHost.h"

#include "CLI11.h"

#include <algorithm>
#include <cstdio>

namespace
{
	/**
	 * Why Out cannot be written, checked before any work: the save would make a missing folder,
	 * and a cache written somewhere unexpected is worse than none. Empty when it can be tried.
	 */
	FString CheckOutputPlace(const FString& Out)
	{
		if (FPaths::DirectoryExists(Out))
		{
			return TEXT("it is a folder");
		}
		const FString Folder = FPaths::GetPath(Out);
		return FPaths::DirectoryExists(Folder) ? FString() : FString::Printf(TEXT("the folder %s does not exist"), *Folder);
	}

	/** The points file as the cache names it: relative to ContentDir when it lies inside, else in full. */
	FString NamePointsFile(const FString& Points, const FString& ContentDir)
	{
		const FString Prefix = ContentDir + TEXT("/");
		return Points.StartsWith(Prefix, ESearchCase::CaseSensitive) ? Points.RightChop(Prefix.Len()) : Points;
	}

	/**
	 * The cache of Mesh built from the points file at Points (a full path); empty when the file
	 * cannot be read, which the build has logged.
	 */
	TStrongObjectPtr<UHCAttachmentVertexCacheData> BuildCache(USkeletalMesh& Mesh, const FString& Points)
	{
		TStrongObjectPtr<UHCAttachmentVertexCacheData> Cache(NewObject<UHCAttachmentVertexCacheData>());
		Cache->TargetSkeletalMesh = &Mesh;
		Cache->BinFileDirectory = Points;
		Cache->BuildData();
		// The build leaves the opacities as they were (none) when it cannot read the file, and
		// gives one per vertex otherwise.
		if (Cache->VertexOpacity.IsEmpty())
		{
			Cache.Reset();
		}
		return Cache;
	}

	int32 Fail(const FString& Message)
	{
		std::fprintf(stderr, "vorpex: %s; nothing was written\n", *Message);
		return FCullCommand::ExitBuildFailed;
	}
}

CLI::App* FCullCommand::Register(CLI::App& App)
{
	CLI::App* Command = App.add_subcommand("cull", "Build attachment culling data");
	Command->require_subcommand(1);
	CLI::App* Build = Command->add_subcommand("build", "Build a body's vertex cache from a points file and write it as a data-asset JSON file");
	Build->footer("The points file holds little-endian 32-bit float triples, one point each; every vertex of the mesh at a point is culled.\n"
				  "FILE for --points is a path relative to the project's Content folder, or an absolute path. The cache names it relative "
				  "to Content when it lies there, else by its full path.\n"
				  "OUT is replaced whole, or left as it was when anything fails; its folder must exist. A cache written inside Content loads "
				  "as /Game/<path>.\n"
				  "Exit codes: 0 success, 1 the project, the mesh or the points file could not be loaded or OUT could not be written, "
				  "64 bad usage.");
	Build->add_option("--mesh", Options.Mesh, "Object path of the body's skeletal mesh, as /Game/Characters/Human/SK_Body.SK_Body")->required();
	Build->add_option("--points", Options.Points, "The points file: relative to the project's Content folder, or absolute")->required();
	Build->add_option("--out", Options.Out, "The vertex cache to write (.json)")->required();
	Build->add_option("project", Options.ProjectDir, "The project folder (default: the bundled sample project)");
	return Command;
}

void FCullCommand::Validate() const
{
	if (!FString(Options.Out).EndsWith(TEXT(".json"), ESearchCase::IgnoreCase))
	{
		throw CLI::ValidationError("--out", "the content loader reads a data asset only from a .json file");
	}
}

int32 FCullCommand::Run(FHostEngine& Engine)
{
	const FString Out = FPaths::ConvertRelativePathToFull(FString(Options.Out));
	const FString OutProblem = CheckOutputPlace(Out);
	if (!OutProblem.IsEmpty())
	{
		return Fail(FString::Printf(TEXT("cannot write %s: %s"), *Out, *OutProblem));
	}

	FString Error;
	const TUniquePtr<FVorpexHost> Host = FVorpexHost::Open(Engine, FString(Options.ProjectDir), Error);
	if (!Host)
	{
		return Fail(Error);
	}
	const FString MeshPath(Options.Mesh);
	USkeletalMesh* Mesh = LoadObject<USkeletalMesh>(nullptr, *MeshPath);
	if (!Mesh)
	{
		return Fail(FString::Printf(TEXT("--mesh %s: no skeletal mesh loads from this object path (the warning above says why)"), *MeshPath));
	}

	const FString& ContentDir = Host->GetProject().ContentDir;
	const FString Points = FPaths::ConvertRelativePathToFull(ContentDir, FString(Options.Points));
	const TStrongObjectPtr<UHCAttachmentVertexCacheData> Cache = BuildCache(*Mesh, Points);
	if (!Cache)
	{
		const TCHAR* Reason = FPaths::FileExists(Points) ? TEXT("the file cannot be read") : TEXT("no such file");
		return Fail(FString::Printf(TEXT("--points %s: %s"), *Points, Reason));
	}

	const FString Json = FVertexCacheJson::Print(Mesh->GetPathName(), NamePointsFile(Points, ContentDir), Cache->VertexOpacity);
	// The text goes to a temporary file that then replaces OUT in one rename.
	if (!FFileHelper::SaveStringToFile(Json, *Out))
	{
		return Fail(FString::Printf(TEXT("cannot write %s (the warning above says why)"), *Out));
	}
	const int32 Culled = static_cast<int32>(std::count(Cache->VertexOpacity.begin(), Cache->VertexOpacity.end(), 0.0f));
	std::printf("culled %d of %d vertices of %s; wrote %s\n", Culled, Cache->VertexOpacity.Num(), *Mesh->GetPathName(), *Out);
	return 0;
}
