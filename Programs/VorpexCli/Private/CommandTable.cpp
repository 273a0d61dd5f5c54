#include "CommandTable.h"

#include "GraphCommand.h"
#include "InspectCommand.h"

TArray<TUniquePtr<IVorpexCommand>> FCommandTable::MakeCommands()
{
	TArray<TUniquePtr<IVorpexCommand>> Commands;
	Commands.Add(MakeUnique<FInspectCommand>());
	Commands.Add(MakeUnique<FGraphCommand>());
	return Commands;
}
