#pragma once

// `vorpex compose [PROJECT] [--group G] [--character C] [--all] --out DIR`: opens the project (the
// bundled one when none is given), and composes characters of its descriptor: one named by
// --character (in the group named by --group, or in whichever group holds it), every character
// of a --group, or with --all (the default) every character. Each goes into DIR/<character>/
// (see CharacterComposer.h); a group or character is named by its name (letter case ignored) or
// its position from 0.
//
// The whole log goes to DIR/compose.log; the terminal shows errors and one line per character.
// A character that fails is reported and the others still compose.

#include "CoreMinimal.h"
#include "VorpexCommand.h"

#include <string>

struct FDescriptorCharacter;

class FComposeCommand : public IVorpexCommand
{
public:
	/** The project cannot be opened, or names no such group or character. */
	static constexpr int32 ExitBadInput = 1;
	/** A character failed to compose or its files could not be written; the others composed. */
	static constexpr int32 ExitCharacterFailed = 2;

	CLI::App* Register(CLI::App& App) override;
	void Validate() const override;
	/** Starts the Vorpex module, which composes the characters. */
	int32 Run(FHostEngine& Engine) override;

private:
	/** The characters the options choose out of All; false, with the reason in OutError, when they name none. */
	bool Choose(const TArray<FDescriptorCharacter>& All, TArray<FDescriptorCharacter>& OutChosen, FString& OutError) const;

	std::string ProjectDir;
	std::string Group;
	std::string Character;
	bool bAll = false;
	std::string OutDir;
};
