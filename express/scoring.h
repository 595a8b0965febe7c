#pragma once
// The two express examinations: their fixed check lists and the scoring of
// the number of ticked signs into a health level. Every ticked sign counts
// one; the score is the number of signs of the list that are absent.
#include <QList>
#include <QString>
#include <QStringList>

namespace express {

enum class Method { Velkhover, Krivenko };

// The check list of a method, in the order its ticked items are written out.
const QStringList &checkItems(Method method);

// Number of signs on the method's list: 10 (Velkhover) or 16 (Krivenko).
int signCount(Method method);

// 13 spaces + "КАРТА ЭКСПРЕСС-ОСМОТРА ПО ...:" / "ЭКСПРЕСС-ДИАГНОСТИКА ПО ...:".
QString mapHeading(Method method);
QString resultHeading(Method method);

// " высокий [" ... " низкий [" for n ticked signs (0 <= n <= signCount).
QString levelText(Method method, int ticked);

// "Уровень здоровья" + level text + score + "/10]" or "/16]".
QString levelLine(Method method, int ticked);

// The result box after "Обработать": the map heading, every ticked item in
// list order, the result heading and the level line. ticked[i] is the tick
// of item i; missing entries count as unticked.
QStringList resultLines(Method method, const QList<bool> &ticked);

} // namespace express
