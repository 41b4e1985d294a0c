#pragma once
// Search statements: the texts a search form runs (the catalogue's kind
// "RICERCA") mark with "##WHERE##" the place of the form's own condition and
// with "##ORDERBY##" the place of its order, so that one text serves every
// search the form offers.
//
//     SELECT TAG.STAGCOD AS CODICE, TAG.STAGDESCRIZIONE AS DESCRIZIONE, TAG.ITAGID
//     FROM TTAG_TIPIASSENZA TAG WHERE ##WHERE## ORDER BY ##ORDERBY##
#include <QString>

namespace platform {

extern const QString SearchWherePlaceholder; // "##WHERE##"
extern const QString SearchOrderPlaceholder; // "##ORDERBY##"

// The text with every "##WHERE##" replaced by `condition` and every
// "##ORDERBY##" by `order`; an empty condition stands for every row ("1=1"),
// an empty order for the first column ("1"). A text without the marks is
// returned as it is.
QString fillSearchStatement(const QString &sql, const QString &condition = {}, const QString &order = {});

} // namespace platform
