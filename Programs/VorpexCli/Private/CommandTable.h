#pragma once

#include "CoreMinimal.h"
#include "Templates/UniquePtr.h"
#include "VorpexCommand.h"

/** The commands of the `vorpex` program: a new command is one class and one line in this table. */
class FCommandTable
{
public:
	/** A fresh object of every command, in the order `vorpex --help` lists them. */
	static TArray<TUniquePtr<IVorpexCommand>> MakeCommands();
};
