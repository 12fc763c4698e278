# Writes the HTML pages of the API-reference benchmark project and prints
# their paths, one a line, relative to the project folder (the [FILES] list
# of the .hhp). Shaped like the reference help of a class library: one folder
# per namespace (api/<Namespace>/), an index page per namespace, and per class
# an overview page, a members page and one page per method or property, each
# with the same navigation bar, header, syntax block, parameter table and
# footer around a few paragraphs. Identifiers and sentences come from a
# made-up vocabulary so that LZX finds the boilerplate but cannot collapse
# the rest.
# Variables: root (project folder), folders (namespaces), perfolder (pages in
# each namespace folder, its index included), images (pictures the pages
# refer to, images/setNN/picNNN.png in sets of 30), seed.
function word(   n, w, i) {
  n = 1 + int(rand() * 3)
  w = ""
  for (i = 0; i < n; i++) w = w syl[int(rand() * nsyl)]
  return w
}
function cap(s) { return toupper(substr(s, 1, 1)) substr(s, 2) }
function pick(list, count) { return list[1 + int(rand() * count)] }
# A sentence of documentation: a stock opening, then made-up words.
function sentence(   n, s, i) {
  n = 4 + int(rand() * 12)
  s = pick(opening, nopening)
  for (i = 0; i < n; i++) s = s " " (rand() < 0.3 ? pick(common, ncommon) : word())
  return s "."
}
# A name not used yet in the current folder (names are compared without
# case, as CHM files compare them).
function unique(name,   out, k) {
  out = name
  for (k = 2; tolower(out) in used; k++) out = name k
  used[tolower(out)] = 1
  return out
}
function typename() { return rand() < 0.6 ? pick(builtin, nbuiltin) : cap(word()) pick(suffix, nsuffix) }
function icon(   n) { n = int(rand() * images); return sprintf("../../images/set%02d/pic%03d.png", int(n / 30), n) }
function head(title, crumbs, picture) {
  return "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n" \
    "<meta name=\"generator\" content=\"Velmora API reference\">\n" \
    "<title>" title "</title>\n<link rel=\"stylesheet\" href=\"../../styles/api.css\">\n</head>\n<body>\n" \
    "<div class=\"nav\"><a href=\"../index.htm\">Library reference</a> | " crumbs \
    " | <a href=\"../index.htm#search\">Search</a></div>\n" \
    "<div class=\"header\"><img src=\"" picture "\" alt=\"\" width=\"48\" height=\"48\"> <h1>" title "</h1></div>\n"
}
function foot(ns) {
  return "<div class=\"footer\"><p>Namespace: <a href=\"index.htm\">" ns "</a><br>Assembly: " ns ".dll</p>\n" \
    "<p>Copyright &copy; Example Corporation. All rights reserved. " \
    "<a href=\"../index.htm#feedback\">Send feedback on this topic</a>.</p></div>\n</body></html>\n"
}
# Paragraphs while the page stays within its size.
function fill(page, target, closing,   para) {
  page = page "<h2>Remarks</h2>\n"
  for (;;) {
    para = sentence() " " sentence() " " sentence()
    if (rand() < 0.25) para = para " See <a href=\"" cls[1 + int(rand() * ncls)] ".htm\">" cls[1 + int(rand() * ncls)] "</a>."
    if (length(page) + length(para) + 8 + length(closing) > target) break
    page = page "<p>" para "</p>\n"
  }
  return page closing
}
function emit(rel, text,   file) {
  file = root "/" rel
  printf "%s", text > file
  close(file)
  print rel
  written++
}
BEGIN {
  nsyl = split("ka lo mi ne su ra te vo pi da gu fe zo ha ri ul on ex ar st in qu ve ly mo tr bl ch sh th wo ya ze ni ko", syl, " ")
  nopening = split("Gets or sets the|Returns the|Initializes a new instance of the|Determines whether the|Occurs when the|Specifies the|Represents a|Releases the resources used by the|Indicates whether the|Converts the", opening, "|")
  ncommon = split("value object instance collection element index handle stream buffer current specified default null true false method property event type parameter string", common, " ")
  nbuiltin = split("int string bool double long uint byte[] object void float", builtin, " ")
  nsuffix = split("Buffer Manager Reader Writer Options Collection Handler Provider Context Stream Builder Info Settings EventArgs Factory Converter Exception Enumerator", suffix, " ")
  nverb = split("Get Set Try Open Close Read Write Add Remove Find Create Update Begin End Validate Load Save Reset Parse Format", verb, " ")
  nkind = split("Method Property Method Method Property Event Field", kind, " ")
  srand(seed)
  system("mkdir -p '" root "/api'")
  index_page = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n<title>Library reference</title>\n" \
    "<link rel=\"stylesheet\" href=\"../styles/api.css\">\n</head>\n<body>\n<h1>Library reference</h1>\n<ul>\n"
  for (f = 0; f < folders; f++) {
    # Ten root namespaces with fifteen children each: Root.Child.
    if (f % 15 == 0) {
      root_ns = cap(word()) cap(word())
      while (tolower(root_ns) in roots) root_ns = root_ns "X"
      roots[tolower(root_ns)] = 1
    }
    ns = root_ns "." cap(word())
    while (tolower(ns) in spaces) ns = ns "X"
    spaces[tolower(ns)] = 1
    dir = "api/" ns
    system("mkdir -p '" root "/" dir "'")
    index_page = index_page "<li><a href=\"" ns "/index.htm\">" ns "</a></li>\n"
    split("", used); used["index"] = 1
    # The classes of this namespace and their members, planned first so
    # that the index and the remarks can link to them.
    # A class takes two pages and one per member; the last class takes
    # what is left over.
    ncls = 0; left = perfolder - 1
    while (left >= 2) {
      c = unique(cap(word()) pick(suffix, nsuffix))
      ncls++; cls[ncls] = c
      members = 3 + int(rand() * 8)
      if (left - members - 2 < 5) members = left - 2
      nmem[ncls] = members
      for (m = 1; m <= members; m++) mem[ncls, m] = unique(c "." pick(verb, nverb) cap(word()))
      left -= members + 2
    }
    # The namespace index.
    target = 1024 + int(rand() * 7168)
    page = head(ns " Namespace", "<a href=\"index.htm\">" ns "</a>", icon()) "<p class=\"summary\">" sentence() "</p>\n" \
      "<h2>Classes</h2>\n<table class=\"members\"><tr><th>Class</th><th>Description</th></tr>\n"
    for (k = 1; k <= ncls; k++) page = page "<tr><td><a href=\"" cls[k] ".htm\">" cls[k] "</a></td><td>" sentence() "</td></tr>\n"
    emit(dir "/index.htm", fill(page "</table>\n", target, foot(ns)))
    for (k = 1; k <= ncls; k++) {
      c = cls[k]
      crumbs = "<a href=\"index.htm\">" ns "</a> | <a href=\"" c ".htm\">" c "</a>"
      # Class overview.
      target = 1024 + int(rand() * 7168)
      base = rand() < 0.5 ? "object" : cls[1 + int(rand() * ncls)]
      page = head(c " Class", crumbs, icon()) "<p class=\"summary\">" sentence() "</p>\n" \
        "<h2>Syntax</h2>\n<pre class=\"signature\">public " (rand() < 0.3 ? "sealed " : "") "class " c " : " base "</pre>\n" \
        "<h2>Inheritance</h2>\n<p>object &gt; " base " &gt; " c "</p>\n" \
        "<p>See <a href=\"" c ".members.htm\">" c " Members</a> for the list of methods and properties.</p>\n"
      emit(dir "/" c ".htm", fill(page, target, foot(ns)))
      # Members page.
      target = 1024 + int(rand() * 7168)
      page = head(c " Members", crumbs, icon()) "<p class=\"summary\">The members of the " c " type.</p>\n" \
        "<table class=\"members\"><tr><th>Name</th><th>Kind</th><th>Description</th></tr>\n"
      for (m = 1; m <= nmem[k]; m++) {
        split(mem[k, m], part, ".")
        page = page "<tr><td><a href=\"" mem[k, m] ".htm\">" part[2] "</a></td><td>" pick(kind, nkind) "</td><td>" sentence() "</td></tr>\n"
      }
      emit(dir "/" c ".members.htm", fill(page "</table>\n", target, foot(ns)))
      # One page per member: syntax, parameter table, return value, example.
      for (m = 1; m <= nmem[k]; m++) {
        split(mem[k, m], part, ".")
        name = part[2]
        target = 1024 + int(rand() * 7168)
        ret = typename()
        nparam = int(rand() * 5)
        sig = "public " (rand() < 0.2 ? "static " : "") ret " " name "("
        table = ""
        call = ""
        for (p = 0; p < nparam; p++) {
          pname = word() (p > 0 ? p : "")
          ptype = typename()
          sig = sig (p ? ", " : "") ptype " " pname
          call = call (p ? ", " : "") pname
          table = table "<tr><td><code>" pname "</code></td><td><code>" ptype "</code></td><td>" sentence() "</td></tr>\n"
        }
        sig = sig ")"
        page = head(c "." name " Method", crumbs " | <a href=\"" c ".members.htm\">Members</a>", icon()) \
          "<p class=\"summary\">" sentence() "</p>\n<h2>Syntax</h2>\n<pre class=\"signature\">" sig "</pre>\n"
        if (nparam) page = page "<h2>Parameters</h2>\n<table class=\"params\"><tr><th>Name</th><th>Type</th><th>Description</th></tr>\n" table "</table>\n"
        page = page "<h2>Return value</h2>\n<p><code>" ret "</code>: " sentence() "</p>\n" \
          "<h2>Example</h2>\n<pre class=\"code\">var " tolower(substr(c, 1, 1)) substr(c, 2) " = new " c "();\n" \
          (ret == "void" ? "" : "var result = ") tolower(substr(c, 1, 1)) substr(c, 2) "." name "(" call ");\n</pre>\n"
        closing = "<h2>See also</h2>\n<ul><li><a href=\"" c ".htm\">" c " Class</a></li><li><a href=\"" c ".members.htm\">" c \
          " Members</a></li><li><a href=\"index.htm\">" ns " Namespace</a></li></ul>\n" foot(ns)
        emit(dir "/" mem[k, m] ".htm", fill(page, target, closing))
      }
    }
  }
  file = root "/api/index.htm"
  printf "%s</ul>\n</body></html>\n", index_page > file
  close(file)
  print "api/index.htm"
  system("mkdir -p '" root "/styles'")
  file = root "/styles/api.css"
  printf "body { font-family: Segoe UI, sans-serif; font-size: 10pt; margin: 0 1em; }\n" > file
  printf ".nav { background: #e8eef4; padding: 4px; font-size: 9pt; }\n.header img { vertical-align: middle; }\n" > file
  printf "pre.signature, pre.code { background: #f4f4f4; border: 1px solid #ddd; padding: 6px; }\n" > file
  printf "table.params, table.members { border-collapse: collapse; }\ntd, th { border: 1px solid #ccc; padding: 3px 6px; }\n" > file
  printf ".footer { border-top: 1px solid #ccc; margin-top: 2em; font-size: 8pt; color: #555; }\n" > file
  close(file)
  print "styles/api.css"
}
