#include "UObject/Package.h"

#include "UObject/UObjectArray.h"
#include "UObject/UObjectGlobals.h"

UPackage* GetTransientPackage()
{
	static UPackage* Transient = [] {
		UPackage* Package = CreatePackage(TEXT("/Engine/Transient"));
		Package->AddToRoot();
		return Package;
	}();
	return Transient;
}

UPackage* CreatePackage(const TCHAR* PackageName)
{
	checkf(PackageName && *PackageName, TEXT("A package needs a name"));
	const FName Name(PackageName);
	if (UObject* Existing = FUObjectArray::Get().FindByName(nullptr, Name))
	{
		checkf(Existing->IsA(UPackage::StaticClass()), TEXT("%s exists and is not a package"), PackageName);
		return static_cast<UPackage*>(Existing);
	}
	return static_cast<UPackage*>(StaticConstructObject_Internal(UPackage::StaticClass(), nullptr, Name, RF_Public));
}
