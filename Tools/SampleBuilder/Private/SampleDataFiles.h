#pragma once

// FSampleDataFiles writes the sample's JSON: the asset catalog, the character descriptor, the
// character editor configuration, the skin composition, the cull-mask data of each garment
// and the project file. Names agree across them by construction: the body's material slots
// are "M_Body" and "M_Head", which the editor reads as the meshes "Body" and "Head" (slot
// names lose their "M_" and letter case), the names the skin composition's components, the
// catalog's render objects and the editor's skin section use.

#include "CoreMinimal.h"

class FSampleDataFiles
{
public:
	/** Material slot names of the meshes, as the builder creates them. */
	static constexpr const TCHAR* BodySlot = TEXT("M_Body");
	static constexpr const TCHAR* HeadSlot = TEXT("M_Head");
	static constexpr const TCHAR* TightsSlot = TEXT("M_Tights");
	static constexpr const TCHAR* SkirtSlot = TEXT("M_Skirt");
	/** Object names of the attachment components that wear the garments. */
	static constexpr const TCHAR* TightsComponent = TEXT("Tights");
	static constexpr const TCHAR* SkirtComponent = TEXT("Skirt");

	/** Writes every JSON file of the project folder ProjectDir (its Content folder included); false with the reason. */
	static bool WriteAll(const FString& ProjectDir, FString& OutError);
};
