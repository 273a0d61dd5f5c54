// glTF import on any file, as a skeletal mesh and as an animation: each import gives its object
// under the name asked for, or the reason it could not and nothing under that name.

#include "Animation/AnimSequence.h"
#include "Engine/SkeletalMesh.h"
#include "FuzzCheck.h"
#include "FuzzSupport.h"
#include "GltfImporter.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"

namespace
{
	template <typename T>
	void CheckImport(T* Asset, UPackage* Package, const TCHAR* Name, const FString& Error)
	{
		UObject* Found = StaticFindObject(nullptr, Package, Name);
		if (Asset)
		{
			FUZZ_CHECK(Found == Asset && Asset->GetClass() == T::StaticClass() && Error.IsEmpty());
		}
		else
		{
			FUZZ_CHECK(Found == nullptr && !Error.IsEmpty());
		}
	}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
	static int32 Runs = 0;

	// The importer tells binary files from text by their first bytes, not by the name.
	const FString File = FuzzSupport::WriteScratchFile(Data, Size, TEXT("gltf"));
	UPackage* Package = CreatePackage(*FString::Printf(TEXT("/Temp/Fuzz%d"), Runs++));

	FString MeshError;
	CheckImport(FGltfImporter::ImportSkeletalMesh(File, Package, FName(TEXT("Mesh")), MeshError), Package, TEXT("Mesh"), MeshError);
	FString AnimationError;
	CheckImport(FGltfImporter::ImportAnimation(File, Package, FName(TEXT("Animation")), AnimationError), Package, TEXT("Animation"), AnimationError);

	FuzzSupport::CollectGarbageEvery(64);
	return 0;
}
