// The null locator's text form.
#include "commands/ObjectLocator.h"

#include <ostream>

#include "support/Fields.h"

void NullObjectLocator::printOn(std::ostream& out) const { out << "()"; }

void NullObjectLocator::readFrom(std::istream& in) { skipTo(in, ')'); }
