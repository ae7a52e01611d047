#include "svg/base/SVGElementName.h"

namespace plumwick {

std::string SVGElementName(const TXmlNode& Node)
{
    if (!Node.IsElement()) return {};
    const std::string Namespace = Node.NamespaceURI();
    if (!Namespace.empty() && Namespace != SVGNamespace) return {};
    return Node.LocalName();
}

}  // namespace plumwick
