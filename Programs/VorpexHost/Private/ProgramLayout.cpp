#include "ProgramLayout.h"

#include "Misc/Paths.h"

#include <cstdlib>
#include <filesystem>

namespace
{
	/** The folder of the running executable, as the kernel reports it (links resolved). */
	FString RunningProgramDir()
	{
		std::error_code Error;
		const std::filesystem::path Executable = std::filesystem::read_symlink("/proc/self/exe", Error);
		// Without /proc the working folder is the best guess; the plug-in check then says where it looked.
		return Error ? FPaths::ConvertRelativePathToFull(TEXT(".")) : FString(Executable.parent_path().string());
	}
}

FProgramLayout FProgramLayout::OfRunningProgram()
{
	return FProgramLayout(RunningProgramDir());
}

FProgramLayout::FProgramLayout(const FString& InProgramDir)
	: ProgramDir(FPaths::ConvertRelativePathToFull(InProgramDir))
	, DataDir(FPaths::ConvertRelativePathToFull(ProgramDir, TEXT(VORPEX_DATA_FROM_PROGRAMS)))
{
}

FString FProgramLayout::GetBundledProjectDir() const
{
	return FPaths::Combine(DataDir, TEXT("Samples/Human"));
}

FString FProgramLayout::GetEditorLayoutsDir() const
{
	return FPaths::Combine(DataDir, TEXT("Layouts"));
}

bool FProgramLayout::FindPluginDir(FString& OutPluginDir, FString& OutError) const
{
	const char* Override = std::getenv(PluginDirVariable);
	const bool bOverridden = Override && *Override;
	const FString Dir = bOverridden ? FPaths::ConvertRelativePathToFull(FString(Override)) : FPaths::Combine(DataDir, TEXT("Plugins/Vorpex"));
	const FString Source = bOverridden ? FString::Printf(TEXT("named by %s"), PluginDirVariable)
									   : FString::Printf(TEXT("beside the program in %s"), *ProgramDir);
	if (!FPaths::FileExists(FPaths::Combine(Dir, TEXT("Vorpex.uplugin"))))
	{
		OutError = FString::Printf(TEXT("no Vorpex plug-in in %s (the plug-in folder %s): it holds no Vorpex.uplugin"), *Dir, *Source);
		return false;
	}
	if (!FPaths::DirectoryExists(FPaths::Combine(Dir, TEXT("Shaders"))))
	{
		OutError = FString::Printf(TEXT("no Vorpex plug-in in %s (the plug-in folder %s): it has no Shaders folder"), *Dir, *Source);
		return false;
	}
	OutPluginDir = Dir;
	return true;
}
