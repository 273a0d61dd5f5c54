#pragma once

// Composes one character of a project's descriptor and writes what it gives into a folder:
//   <Character>.glb          body and garments with their morph weights, fitted rig as bind pose,
//                            vertex colours (the body's culling), composed albedo and garment textures
//   Albedo_<mesh>.png        each composed body albedo
//   preview.png              front and three-quarter views side by side
//   report.json              see CompositionReport.h
// Every file is written whole or not at all. A character whose composition logs an error, or
// whose files cannot be written, fails: its report says why, and what it wrote stays.

#include "CoreMinimal.h"

class FVorpexHost;
struct FDescriptorCharacter;

class FCharacterComposer
{
public:
	/** What composing a character gave. */
	struct FOutcome
	{
		bool bSucceeded = false;
		/** The first reason it failed, one line; empty on success. */
		FString Failure;
		TArray<FString> WrittenFiles;
		double Seconds = 0.0;
	};

	/** Composes in Host's world, which must outlive the composer. */
	explicit FCharacterComposer(FVorpexHost& InHost);

	/** Spawns Character, composes it, writes its files into CharacterDir (made when missing) and removes it from the world again. */
	FOutcome Compose(const FDescriptorCharacter& Character, const FString& CharacterDir);

private:
	FVorpexHost& Host;
};
