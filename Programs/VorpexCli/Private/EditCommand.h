#pragma once

// `vorpex edit [PROJECT] --script STEPS.json --out DIR`: opens the project (the bundled one when
// none is given), spawns its editable character, begins editing, runs the script's steps (see
// EditScript.h), finishes editing and writes into DIR the edit state (EditState.bin), each
// mesh's edited albedo (Albedo_<mesh>.png) and the edited character with its current morph
// weights, edited albedos and culling textures (Character.glb), naming each file written on
// standard output.
//
// The whole script is checked against the editor before the first step runs, so a script with
// a bad step runs nothing and writes nothing. A step that fails while running (a state that
// cannot be loaded or saved) stops the script, and DIR is left alone.

#include "CoreMinimal.h"
#include "VorpexCommand.h"

#include <string>

struct FSpawnedCharacter;

class FEditCommand : public IVorpexCommand
{
public:
	/** The project, the script or a state it loads is wrong or cannot be read. */
	static constexpr int32 ExitBadInput = 1;
	/** A state the script saves or a file in DIR could not be written. */
	static constexpr int32 ExitWriteFailed = 2;

	CLI::App* Register(CLI::App& App) override;
	/** Starts the Vorpex module, which edits the character. */
	int32 Run(FHostEngine& Engine) override;

private:
	/** Opens the project, checks its editor data and the script, then edits and writes; an exit code. */
	int32 Edit(FHostEngine& Engine, const FString& ScriptFile, const FString& OutDir) const;

	/** Writes the outputs of an edited character into OutDir; an exit code. */
	static int32 WriteOutputs(const FSpawnedCharacter& Character, const FString& OutDir);

	std::string ProjectDir;
	std::string ScriptFile;
	std::string OutDir;
};
