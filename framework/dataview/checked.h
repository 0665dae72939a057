#pragma once
// Marks a data view or control operation whose answer says whether it worked (1 / -1, rows / -1,
// "" / an error text). A caller handles the answer, or casts it to void with a comment that
// says why it cannot fail there; the build treats a dropped answer as an error.

#define DV_CHECKED [[nodiscard("the answer says whether it worked: handle it or state why not")]]
