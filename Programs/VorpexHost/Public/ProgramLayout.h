#pragma once

#include "CoreMinimal.h"

/**
 * Where a program's data lies, found from the program's own folder. Installed, and in the build
 * tree alike, programs live in bin/ and their data in share/vorpex beside it (see
 * cmake/VorpexProgram.cmake): the Vorpex plug-in in Plugins/Vorpex (its descriptor and
 * shaders) and the bundled sample project in Samples/Human.
 */
class VORPEXHOST_API FProgramLayout
{
public:
	/** The environment variable that, when set and not empty, names the plug-in folder instead. */
	static constexpr const char* PluginDirVariable = "VORPEX_PLUGIN_DIR";

	/** The layout around the running program's executable. */
	static FProgramLayout OfRunningProgram();

	/** The layout around a program whose executable lies in InProgramDir. */
	explicit FProgramLayout(const FString& InProgramDir);

	const FString& GetProgramDir() const { return ProgramDir; }
	/** The programs' data folder. */
	const FString& GetDataDir() const { return DataDir; }
	/** The project programs open when given none. */
	FString GetBundledProjectDir() const;
	/** The widget layouts of the character editor (see FCharacterEditorSession). */
	FString GetEditorLayoutsDir() const;

	/**
	 * The Vorpex plug-in's folder: the one VORPEX_PLUGIN_DIR names, else the data folder's
	 * Plugins/Vorpex. False, with the reason in OutError, when that folder holds no
	 * Vorpex.uplugin or no Shaders folder; the reason names the folder and where it came from.
	 */
	bool FindPluginDir(FString& OutPluginDir, FString& OutError) const;

private:
	FString ProgramDir;
	FString DataDir;
};
