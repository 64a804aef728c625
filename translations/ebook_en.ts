<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AccessImport</name>
    <message>
        <source>无法读取 %1：%2</source>
        <translation>cannot read %1: %2</translation>
    </message>
    <message>
        <source>文件不存在</source>
        <translation>no such file</translation>
    </message>
    <message>
        <source>%1 不是 Access 数据库</source>
        <translation>%1 is not an Access database</translation>
    </message>
    <message>
        <source>%1 已损坏：它在一页的中间结束（被截断了？）</source>
        <translation>%1 is damaged: it ends inside a page (truncated?)</translation>
    </message>
    <message>
        <source>本系统的文字转换器读不了 Access 的文字</source>
        <translation>the text converter of this system cannot read Access texts</translation>
    </message>
    <message>
        <source>它的 %1 个字节一个也没有读到</source>
        <translation>none of its %1 bytes read</translation>
    </message>
    <message>
        <source>%1 中有一个值超过 %2 个字节</source>
        <translation>a value in %1 is longer than %2 bytes</translation>
    </message>
    <message>
        <source>Access 文件中没有表 %1</source>
        <translation>the Access file has no table %1</translation>
    </message>
    <message>
        <source>Access 文件的表 %1 无法读取</source>
        <translation>the table %1 of the Access file cannot be read</translation>
    </message>
    <message>
        <source>Access 文件的表 %1 没有列 %2</source>
        <translation>the table %1 of the Access file has no column %2</translation>
    </message>
    <message>
        <source>Access 文件已损坏：表 %1，第 %2 行，列 %3：长值已断（%4）</source>
        <translation>the Access file is damaged: table %1, row %2, column %3: the long value is broken (%4)</translation>
    </message>
    <message>
        <source>%1 个字节的字段</source>
        <translation>a field of %1 bytes</translation>
    </message>
    <message>
        <source>第 %1 页上的一段（共 %2 页）</source>
        <translation>a part on page %1 of %2</translation>
    </message>
    <message>
        <source>第 %1 页上没有这一段</source>
        <translation>page %1 holds no such part</translation>
    </message>
    <message>
        <source>一段太短</source>
        <translation>a part too short</translation>
    </message>
    <message>
        <source>第 %1 页上的一段是空的</source>
        <translation>an empty part on page %1</translation>
    </message>
    <message>
        <source>%1 中有一个 OLE 值无法读取</source>
        <translation>an OLE value in %1 cannot be read</translation>
    </message>
    <message>
        <source>无法监视 Access 读取程序的读取错误</source>
        <translation>cannot watch the Access reader for read errors</translation>
    </message>
    <message>
        <source>%1：读了 %2 行（共 %3 行）后读取出错（libmdb：%4）</source>
        <translation>%1: read error after %2 of %3 rows (libmdb: %4)</translation>
    </message>
    <message>
        <source>%1：读到 %2 行，但表中记有 %3 行</source>
        <translation>%1: %2 rows read, but the table counts %3</translation>
    </message>
    <message>
        <source>ywzx_ywlb：读到的 %1 行中没有根章节 &quot;00000&quot;（表中记有 %2 行）</source>
        <translation>ywzx_ywlb: no root chapter &quot;00000&quot; among %1 rows read (the table counts %2)</translation>
    </message>
    <message>
        <source>%2 的第 %1 行无法写入：%3</source>
        <translation>row %1 of %2 cannot be written: %3</translation>
    </message>
    <message>
        <source>%1 已损坏：它的目录无法读取</source>
        <translation>%1 is damaged: its catalogue cannot be read</translation>
    </message>
    <message>
        <source>Access 读取程序被中止：%1</source>
        <translation>the Access reader was stopped: %1</translation>
    </message>
    <message>
        <source>无法启动 Access 读取程序</source>
        <translation>cannot start the Access reader</translation>
    </message>
    <message>
        <source>无法启动 Access 读取程序：%1</source>
        <translation>cannot start the Access reader: %1</translation>
    </message>
</context>
<context>
    <name>AppInfo</name>
    <message>
        <source>墨川电子阅读系统</source>
        <translation>Mochuan E-Book Reader</translation>
    </message>
</context>
<context>
    <name>BookBackup</name>
    <message>
        <source>无法把 &apos;%1&apos; 复制到 &apos;%2&apos;：%3。</source>
        <translation>Cannot copy &apos;%1&apos; to &apos;%2&apos;: %3.</translation>
    </message>
    <message>
        <source>无法把 &apos;%1&apos; 写入磁盘：%2。</source>
        <translation>Cannot write &apos;%1&apos; to disk: %2.</translation>
    </message>
</context>
<context>
    <name>BookCheck</name>
    <message>
        <source>（空）</source>
        <translation>(empty)</translation>
    </message>
    <message>
        <source>%1 id %2 编码 %3：%4</source>
        <translation>%1 id %2 code %3: %4</translation>
    </message>
    <message>
        <source>……另有 %1 处%2未列出（共 %3 处）</source>
        <translation>... %1 more %2 not listed (%3 in all)</translation>
    </message>
    <message>
        <source>名称（lbmc）</source>
        <translation>name (lbmc)</translation>
    </message>
    <message>
        <source>标题（nrbt）</source>
        <translation>title (nrbt)</translation>
    </message>
    <message>
        <source>正文（ywnr）</source>
        <translation>text (ywnr)</translation>
    </message>
    <message>
        <source>修改日期（xgrq）“%1”不能转换为日期；请改为 YYYY-MM-DD HH:MM:SS 形式</source>
        <translation>date edited (xgrq) “%1” cannot be read as a date; change it to the form YYYY-MM-DD HH:MM:SS</translation>
    </message>
    <message>
        <source>照片（photoimage，%1 字节）不是可读的图片；请换成 JPEG、PNG 或 BMP 图片，或去掉照片</source>
        <translation>photo (photoimage, %1 bytes) is not a readable picture; replace it with a JPEG, PNG or BMP picture, or remove the photo</translation>
    </message>
    <message>
        <source>%1不是有效的 UTF-8 文字，阅读时会显示乱码；请重新输入这段文字</source>
        <translation>%1 is not valid UTF-8 text and would show as garbage when read; enter this text again</translation>
    </message>
    <message>
        <source>编码与 id %1 重复，删除和维护对话框只处理先遇到的一条；请给它一个未用的编码</source>
        <translation>code used also by id %1; deleting and the editing dialogs handle only the first one found; give it an unused code</translation>
    </message>
    <message>
        <source>所属章节 %1 不存在，这篇文章在树中看不到；请把它的章节编码（lbbh）改为存在的章节，或删除它</source>
        <translation>its chapter %1 does not exist, so this article is not seen in the tree; change its chapter code (lbbh) to an existing chapter, or delete it</translation>
    </message>
    <message>
        <source>上级编码 %1 不存在，它和其下 %2 个章节、%3 篇文章在树中看不到；请把它的上级编码（flbh）改为存在的章节编码</source>
        <translation>parent code %1 does not exist; it, with %2 chapters and %3 articles under it, is not seen in the tree; change its parent code (flbh) to an existing chapter code</translation>
    </message>
    <message>
        <source>上级编码绕成环（%1），环上 %2 个章节及其下 %3 个章节、%4 篇文章在树中看不到；请把其中一个章节的上级编码（flbh）改为树中章节的编码</source>
        <translation>parent codes form a loop (%1); the %2 chapters on the loop, with %3 chapters and %4 articles under them, are not seen in the tree; change the parent code (flbh) of one of them to the code of a chapter in the tree</translation>
    </message>
    <message>
        <source>完整性检查：%1；请换用最近一份完好的备份（先检查备份），再补上其后的修改</source>
        <translation>integrity check: %1; use the latest sound backup instead (check the backup first), then make the later changes again</translation>
    </message>
    <message>
        <source>ywzx_ywlb_fts：全文索引与章节正文不一致，全文检索会漏掉或多出结果；请运行 ebook-tool index --check %1 重建索引</source>
        <translation>ywzx_ywlb_fts: the full-text index does not match the chapters&apos; texts, so full-text searches miss or add results; run ebook-tool index --check %1 to rebuild the index</translation>
    </message>
    <message>
        <source>%1 个章节、%2 篇文章</source>
        <translation>%1 chapters, %2 articles</translation>
    </message>
    <message>
        <source>检查完毕：%1，未发现问题。</source>
        <translation>Check finished: %1, no problems found.</translation>
    </message>
    <message>
        <source>检查完毕：%1，发现 %2 处问题。</source>
        <translation>Check finished: %1, %2 problems found.</translation>
    </message>
    <message>
        <source>完整性检查的问题</source>
        <translation>integrity problems</translation>
    </message>
    <message>
        <source>不是有效 UTF-8 的文字</source>
        <translation>texts that are not valid UTF-8</translation>
    </message>
    <message>
        <source>不能转换的修改日期</source>
        <translation>dates edited that cannot be read</translation>
    </message>
    <message>
        <source>不可读的照片</source>
        <translation>unreadable photos</translation>
    </message>
    <message>
        <source>上级编码不存在的章节</source>
        <translation>chapters whose parent code does not exist</translation>
    </message>
    <message>
        <source>上级编码绕成的环</source>
        <translation>loops of parent codes</translation>
    </message>
    <message>
        <source>所属章节不存在的文章</source>
        <translation>articles whose chapter does not exist</translation>
    </message>
    <message>
        <source>重复的章节编码</source>
        <translation>repeated chapter codes</translation>
    </message>
    <message>
        <source>重复的文章编码</source>
        <translation>repeated article codes</translation>
    </message>
    <message>
        <source>全文索引的问题</source>
        <translation>full-text index problems</translation>
    </message>
</context>
<context>
    <name>BookConnection</name>
    <message>
        <source>图书服务器在 %1 秒内没有应答，程序已断开与它的连接，刚才的操作没有得到服务器的确认。请稍后再操作一次，程序会重新连接（若刚才是保存，请先看一看它是否已保存）；若仍不成功，请检查网络或联系管理员。</source>
        <translation>The book server did not answer within %1 seconds; the connection to it was closed and the last operation was not confirmed by the server. Try the operation again later and the program will reconnect (if it was a save, first look whether it was saved); if it still fails, check the network or ask the administrator.</translation>
    </message>
</context>
<context>
    <name>BookEngine</name>
    <message>
        <source>数据库没有说明原因</source>
        <translation>the database gave no reason</translation>
    </message>
    <message>
        <source>图书正忙：另一处正在保存，等了 %1 秒仍未轮到这一操作（%2）。这一操作没有完成，没有写入任何内容；请稍后再试。</source>
        <translation>The book is busy: a save elsewhere is in progress, and this operation&apos;s turn did not come within %1 seconds (%2). The operation was not done and nothing was written; please try again later.</translation>
    </message>
</context>
<context>
    <name>BookFile</name>
    <message>
        <source>请把书库文件放到这个位置，例如用下列命令之一：
新建空书：ebook-tool create %1 &quot;书名&quot;
示例书：ebook-tool demo %1
从服务器取回：ebook-tool pull 服务器地址 %1
转换 Access 书库：ebook-tool import 旧书库.mdb %1</source>
        <translation>Put the book file at this place, for example with one of these commands:
new empty book: ebook-tool create %1 &quot;BOOK NAME&quot;
demo book: ebook-tool demo %1
from the server: ebook-tool pull SERVER_ADDRESS %1
convert an Access book: ebook-tool import OLD_BOOK.mdb %1</translation>
    </message>
    <message>
        <source>找不到书库文件：</source>
        <translation>The book file cannot be found:</translation>
    </message>
    <message>
        <source>无法打开书库文件：
%1
%2。</source>
        <translation>Cannot open the book file:
%1
%2.</translation>
    </message>
    <message>
        <source>它是一个文件夹</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>书库文件是空的，其中没有书：</source>
        <translation>The book file is empty; it holds no book:</translation>
    </message>
    <message>
        <source>这是一个 Access 数据库，不是本程序的书库文件：
%1
请用下面的命令把它转换为新的书库文件，再放到这个位置：
ebook-tool import %1 新书库文件</source>
        <translation>This is an Access database, not a book file of this program:
%1
Convert it to a new book file with the command below, then put that here:
ebook-tool import %1 NEW_BOOK_FILE</translation>
    </message>
    <message>
        <source>这个文件不是书库数据库：</source>
        <translation>This file is not a book database:</translation>
    </message>
</context>
<context>
    <name>BookQuery</name>
    <message>
        <source>查询 %1 的结果中没有字段 &apos;%2&apos;。</source>
        <translation>The result of query %1 has no field &apos;%2&apos;.</translation>
    </message>
    <message>
        <source>查询 %1 的语句不返回记录。</source>
        <translation>The statement of query %1 returns no records.</translation>
    </message>
    <message>
        <source>查询 %1 已关闭，无法进行这一操作。</source>
        <translation>Query %1 is closed; this operation cannot be done.</translation>
    </message>
    <message>
        <source>“%1”不是有效的整数。</source>
        <translation>“%1” is not a valid whole number.</translation>
    </message>
</context>
<context>
    <name>BookScan</name>
    <message>
        <source>三个字以上</source>
        <translation>three characters or more</translation>
    </message>
    <message>
        <source>两个字</source>
        <translation>two characters</translation>
    </message>
    <message>
        <source>单个字</source>
        <translation>one character</translation>
    </message>
    <message>
        <source>请用 ebook-tool pull 把书取回文件，再用 ebook-tool push --replace 放回服务器，索引随之重建</source>
        <translation>use ebook-tool pull to fetch the book into a file, then ebook-tool push --replace to put it back on the server; the indexes are built again</translation>
    </message>
    <message>
        <source>%1：服务器上的书没有这一索引（较早的程序放上去的书），检索%2的词要逐章扫描全部正文；%3</source>
        <translation>%1: the book on the server lacks this index (a book put there by an earlier program), so searching for words of %2 reads every chapter&apos;s text; %3</translation>
    </message>
    <message>
        <source>%1：索引无效（建立时中断），检索%2的词不用它，要逐章扫描；请书的管理者在服务器上运行 &quot;reindex index %1&quot;</source>
        <translation>%1: the index is invalid (its building was interrupted), so searching for words of %2 does not use it and reads every chapter; ask the book&apos;s administrator to run &quot;reindex index %1&quot; on the server</translation>
    </message>
    <message>
        <source>%1：函数 %2 已被改写，与建立索引时的不同，全文检索会漏掉或多出结果；%3</source>
        <translation>%1: the function %2 has been rewritten and differs from the one the index was built with, so full-text searches miss or add results; %3</translation>
    </message>
</context>
<context>
    <name>BookSchema</name>
    <message>
        <source>程序内置的建表脚本 %1 无法读取：%2</source>
        <translation>The program&apos;s built-in table script %1 cannot be read: %2</translation>
    </message>
    <message>
        <source>程序内置的建表脚本 %1 是空的</source>
        <translation>The program&apos;s built-in table script %1 is empty</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 已存在，不会覆盖</source>
        <translation>&apos;%1&apos; exists already; it is not overwritten</translation>
    </message>
    <message>
        <source>无法新建 &apos;%1&apos;：文件夹不存在</source>
        <translation>Cannot create &apos;%1&apos;: the folder does not exist</translation>
    </message>
    <message>
        <source>无法新建 &apos;%1&apos;</source>
        <translation>Cannot create &apos;%1&apos;</translation>
    </message>
</context>
<context>
    <name>BookTree</name>
    <message>
        <source>章节</source>
        <translation>Chapters</translation>
    </message>
    <message>
        <source>章节目录</source>
        <translation>Chapter list</translation>
    </message>
</context>
<context>
    <name>BookmarksWindow</name>
    <message>
        <source>书签</source>
        <translation>Bookmarks</translation>
    </message>
    <message>
        <source>书签列表</source>
        <translation>Bookmark list</translation>
    </message>
    <message>
        <source>位置</source>
        <translation>Location</translation>
    </message>
    <message>
        <source>打开(&amp;O)</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>重命名(&amp;R)</source>
        <translation>&amp;Rename</translation>
    </message>
    <message>
        <source>删除(&amp;D)</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>BrowserLayout</name>
    <message>
        <source>版权所有 © 2026 墨川软件</source>
        <translation>Copyright © 2026 Mochuan Software</translation>
    </message>
    <message>
        <source>墨川电子阅读系统 1.0版    技术支持：support@mochuan.example    QQ：800012345</source>
        <translation>Mochuan E-Book Reader 1.0    Support: support@mochuan.example    QQ: 800012345</translation>
    </message>
    <message>
        <source>章节查找(&amp;A)</source>
        <translation>Find ch&amp;apter</translation>
    </message>
    <message>
        <source>内容查找(&amp;S)</source>
        <translation>&amp;Search text</translation>
    </message>
    <message>
        <source>章节添加(&amp;D)</source>
        <translation>A&amp;dd chapter</translation>
    </message>
    <message>
        <source>章节修改(&amp;F)</source>
        <translation>Edit chapter (&amp;F)</translation>
    </message>
    <message>
        <source>章节删除(&amp;G)</source>
        <translation>Delete chapter (&amp;G)</translation>
    </message>
    <message>
        <source>内容添加(&amp;H)</source>
        <translation>Add article (&amp;H)</translation>
    </message>
    <message>
        <source>内容修改(&amp;J)</source>
        <translation>Edit article (&amp;J)</translation>
    </message>
    <message>
        <source>内容删除(&amp;K)</source>
        <translation>Delete article (&amp;K)</translation>
    </message>
    <message>
        <source>标题:</source>
        <translation>Title:</translation>
    </message>
    <message>
        <source>业务详细内容:</source>
        <translation>Full text:</translation>
    </message>
    <message>
        <source>打印(&amp;P)</source>
        <translation>&amp;Print</translation>
    </message>
    <message>
        <source>退出[&amp;E]</source>
        <translation>&amp;Exit</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>全部展开</source>
        <translation>Expand all</translation>
    </message>
    <message>
        <source>全部折叠</source>
        <translation>Collapse all</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>自动展开当前项目</source>
        <translation>Expand the current item automatically</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>拷贝</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>粘贴</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>撤消</source>
        <translation>Undo</translation>
    </message>
</context>
<context>
    <name>ChapterTree</name>
    <message>
        <source>确认信息</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>是否确认要移动该节点?</source>
        <translation>Do you really want to move this item?</translation>
    </message>
</context>
<context>
    <name>ChineseVariants</name>
    <message>
        <source>繁简字表 %1 无法读取</source>
        <translation>The simplified/traditional character table %1 cannot be read</translation>
    </message>
</context>
<context>
    <name>Citation</name>
    <message>
        <source>（%1）</source>
        <translation> (%1)</translation>
    </message>
</context>
<context>
    <name>DateTimeText</name>
    <message>
        <source>“%1”不是有效的日期和时间。请按 %2 或 %3 这样的格式输入。</source>
        <translation>“%1” is not a valid date and time. Enter it in a form like %2 or %3.</translation>
    </message>
</context>
<context>
    <name>DemoBook</name>
    <message>
        <source>无法读取 %1（%2）；示例书需要 Debian 的 fortunes-zh 软件包</source>
        <translation>cannot read %1 (%2); the demo book needs Debian&apos;s fortunes-zh package</translation>
    </message>
</context>
<context>
    <name>FileEngine</name>
    <message>
        <source>图书文件 &apos;%1&apos; 的上一次保存没有完成（留下了日志文件 &apos;%2&apos;），要由可以写入该文件的人先把它撤销，本终端只能读取，无法打开（%3）。请工作人员在有写入权限的工作站上启动一次本程序，之后本终端即可照常打开。</source>
        <translation>The last save of book file &apos;%1&apos; did not finish (it left the journal file &apos;%2&apos;); someone who may write that file must undo it first. This terminal may only read, so it cannot open the book (%3). Staff: start this program once on a workstation that may write the file; this terminal can then open it as usual.</translation>
    </message>
    <message>
        <source>无法打开图书文件 &apos;%1&apos;，数据库报告：%2</source>
        <translation>Cannot open book file &apos;%1&apos;; the database reports: %2</translation>
    </message>
    <message>
        <source>图书文件 &apos;%1&apos; 的上一次保存没有完成（留下了日志文件 &apos;%2&apos;），只读打开时不能撤销它，因此无法读取（%3）</source>
        <translation>The last save of book file &apos;%1&apos; did not finish (it left the journal file &apos;%2&apos;); opened read-only it cannot be undone, so the book cannot be read (%3)</translation>
    </message>
    <message>
        <source>图书的全文索引已损坏（%1），这一操作没有完成，没有写入任何内容。请工作人员运行 &quot;ebook-tool index --check %2&quot; 修复索引后再试。</source>
        <translation>The book&apos;s full-text index is damaged (%1); this operation was not done and nothing was written. Staff: run &quot;ebook-tool index --check %2&quot; to repair the index, then try again.</translation>
    </message>
    <message>
        <source>图书文件的操作失败，数据库报告：%1</source>
        <translation>An operation on the book file failed; the database reports: %1</translation>
    </message>
</context>
<context>
    <name>FindDialog</name>
    <message>
        <source>查找</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>查找内容(&amp;N):</source>
        <translation>Fi&amp;nd what:</translation>
    </message>
    <message>
        <source>全字匹配(&amp;W)</source>
        <translation>Match &amp;whole word</translation>
    </message>
    <message>
        <source>区分大小写(&amp;C)</source>
        <translation>Match &amp;case</translation>
    </message>
    <message>
        <source>繁简通查</source>
        <translation>Simplified and traditional</translation>
    </message>
    <message>
        <source>简体字与繁体字（如 黄鹤楼 与 黃鶴樓）一并查找</source>
        <translation>Find simplified and traditional characters alike (such as the two forms of Yellow Crane Tower)</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>向上(&amp;U)</source>
        <translation>&amp;Up</translation>
    </message>
    <message>
        <source>向下(&amp;D)</source>
        <translation>&amp;Down</translation>
    </message>
    <message>
        <source>查找下一个(&amp;F)</source>
        <translation>&amp;Find next</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>（%1）</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <source>快捷键 %1</source>
        <translation>Shortcut %1</translation>
    </message>
</context>
<context>
    <name>Generator</name>
    <message>
        <source>%1：没有可供学习的文字</source>
        <translation>%1: no text to learn from</translation>
    </message>
    <message>
        <source>章节和文章：0 到 %1；扇出：1 或更多</source>
        <translation>chapters and articles: 0 to %1; fan-out: 1 or more</translation>
    </message>
</context>
<context>
    <name>Handlers</name>
    <message>
        <source>程序内部出错：%1</source>
        <translation>Internal program error: %1</translation>
    </message>
    <message>
        <source>未知错误</source>
        <translation>Unknown error</translation>
    </message>
</context>
<context>
    <name>Labels</name>
    <message>
        <source>澜州省档案馆机读室</source>
        <translation>Lanzhou Provincial Archives Reading Room</translation>
    </message>
</context>
<context>
    <name>LanguageMenu</name>
    <message>
        <source>下次启动时界面将改为英文。</source>
        <translation>From the next start the interface will be in English.</translation>
    </message>
    <message>
        <source>下次启动时界面将改为中文。</source>
        <translation>From the next start the interface will be in Chinese.</translation>
    </message>
    <message>
        <source>系统提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>界面语言</source>
        <translation>Interface language</translation>
    </message>
    <message>
        <source>中文</source>
        <translation>Chinese</translation>
    </message>
    <message>
        <source>英文</source>
        <translation>English</translation>
    </message>
</context>
<context>
    <name>LoadProgress</name>
    <message>
        <source>正在载入章节……</source>
        <translation>Loading chapters...</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>已载入 %1 个章节</source>
        <translation>%1 chapters loaded</translation>
    </message>
</context>
<context>
    <name>MC_About</name>
    <message>
        <source>澜州市墨川路一号</source>
        <translation>No. 1 Mochuan Road, Lanzhou</translation>
    </message>
    <message>
        <source>Copyright © 2026 墨川软件 版权所有</source>
        <translation>Copyright © 2026 Mochuan Software. All rights reserved.</translation>
    </message>
    <message>
        <source>关于本软件： [墨川软件]</source>
        <translation>About this software: [Mochuan Software]</translation>
    </message>
    <message>
        <source>墨川电子阅读系统</source>
        <translation>Mochuan E-Book Reader</translation>
    </message>
    <message>
        <source>最新版本：1.0版</source>
        <translation>Version: 1.0</translation>
    </message>
    <message>
        <source>操作环境：Window 95/98/Me/Xp</source>
        <translation>Runs on: Window 95/98/Me/Xp</translation>
    </message>
    <message>
        <source>技术支持:</source>
        <translation>Support:</translation>
    </message>
    <message>
        <source>商务合作:</source>
        <translation>Business:</translation>
    </message>
    <message>
        <source>QQ在线支持:</source>
        <translation>QQ support:</translation>
    </message>
    <message>
        <source>地址：</source>
        <translation>Address: </translation>
    </message>
    <message>
        <source>诚征全国各省、市、区代理商</source>
        <translation>Agents wanted in every province, city and district</translation>
    </message>
    <message>
        <source>关闭(Esc)</source>
        <translation>Close (Esc)</translation>
    </message>
</context>
<context>
    <name>MaintenanceDialog</name>
    <message>
        <source>全选</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>拷贝</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>粘贴</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>撤消</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>（未填写）</source>
        <translation>(not filled in)</translation>
    </message>
    <message>
        <source>系统检测到%1在您打开之后已被其他程序修改。</source>
        <translation>The system found that %1 was changed by another program after you opened it.</translation>
    </message>
    <message>
        <source>修改员工：%1，修改日期：%2。</source>
        <translation>Edited by: %1, date edited: %2.</translation>
    </message>
    <message>
        <source>确定修改将覆盖其他程序所做的修改，您是否确定修改？</source>
        <translation>Confirming will overwrite the other program&apos;s changes. Do you really want to save your changes?</translation>
    </message>
</context>
<context>
    <name>MessageBoxes</name>
    <message>
        <source>错误提示</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>系统提示</source>
        <translation>Notice</translation>
    </message>
</context>
<context>
    <name>PanePrint</name>
    <message>
        <source>打印失败：打印机 &quot;%1&quot; 未能完成打印作业</source>
        <translation>Printing failed: the printer &quot;%1&quot; did not complete the print job</translation>
    </message>
    <message>
        <source>引用与页码</source>
        <translation>Citation and page numbers</translation>
    </message>
    <message>
        <source>第 %1 页，共 %2 页</source>
        <translation>Page %1 of %2</translation>
    </message>
</context>
<context>
    <name>RegularFile</name>
    <message>
        <source>它不是普通文件</source>
        <translation>it is not a regular file</translation>
    </message>
    <message>
        <source>没有指定文件名</source>
        <translation>no file name was given</translation>
    </message>
    <message>
        <source>文件不存在</source>
        <translation>the file does not exist</translation>
    </message>
    <message>
        <source>没有读取它的权限</source>
        <translation>no permission to read it</translation>
    </message>
</context>
<context>
    <name>SearchCommands</name>
    <message>
        <source>对不起,没有找到您要查找的内容!</source>
        <translation>Sorry, what you are looking for was not found!</translation>
    </message>
    <message>
        <source>您选择的章节已被删除，无法转到该章节。请刷新目录后再查找。</source>
        <translation>The chapter you chose has been deleted, so it cannot be shown. Refresh the chapter list and search again.</translation>
    </message>
    <message>
        <source>没有找到您所需要的内容!</source>
        <translation>What you are looking for was not found!</translation>
    </message>
</context>
<context>
    <name>ServerBook</name>
    <message>
        <source>不详</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>本机（Unix 套接字）</source>
        <translation>this machine (Unix socket)</translation>
    </message>
    <message>
        <source>用户 %1（地址 %2，程序 %3，事务开始于 %4，服务器进程 %5）</source>
        <translation>user %1 (address %2, program %3, transaction started at %4, server process %5)</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <source>（其他用户的连接的地址和时间，只有超级用户或 pg_read_all_stats 角色的成员看得到）</source>
        <translation>(the addresses and times of other users&apos; connections are visible only to superusers and members of the pg_read_all_stats role)</translation>
    </message>
    <message>
        <source>数据库 %1 中的书正被其他连接使用，等了 %2 秒仍未放开，书没有替换，什么也没有改动（%3）。正在使用它的连接：%4。请让这些终端结束手头的操作或关闭程序后再替换。</source>
        <translation>The book in database %1 is in use by other connections and was not released within %2 seconds; the book was not replaced and nothing was changed (%3). Connections using it: %4. Let those terminals finish what they are doing or close the program, then replace the book.</translation>
    </message>
    <message>
        <source>%1 行 id %2：xgrq &apos;%3&apos; 不是日期和时间</source>
        <translation>%1 row id %2: xgrq &apos;%3&apos; is not a date and time</translation>
    </message>
    <message>
        <source>%1 行 id %2：%3</source>
        <translation>%1 row id %2: %3</translation>
    </message>
    <message>
        <source>数据库 %1 中已有一本书；用 --replace 替换它</source>
        <translation>The database %1 already holds a book; --replace replaces it</translation>
    </message>
    <message>
        <source>数据库 %1 中没有书</source>
        <translation>The database %1 holds no book</translation>
    </message>
</context>
<context>
    <name>ServerConfig</name>
    <message>
        <source>服务器配置文件 &apos;%1&apos; 有误：%2。</source>
        <translation>The server configuration file &apos;%1&apos; is wrong: %2.</translation>
    </message>
    <message>
        <source>第 %1 行不是“键 = 值”的形式</source>
        <translation>line %1 is not of the form “key = value”</translation>
    </message>
    <message>
        <source>无法读取服务器配置文件 &apos;%1&apos;：%2。</source>
        <translation>Cannot read the server configuration file &apos;%1&apos;: %2.</translation>
    </message>
    <message>
        <source>它不是 INI 格式的文件</source>
        <translation>it is not an INI file</translation>
    </message>
    <message>
        <source>其中没有 [server] 一节</source>
        <translation>it has no [server] section</translation>
    </message>
    <message>
        <source>不认识的一节 [%1]，只读取 [server] 一节</source>
        <translation>unknown section [%1]; only the [server] section is read</translation>
    </message>
    <message>
        <source>键 &quot;%1&quot; 不在 [server] 一节之内</source>
        <translation>key &quot;%1&quot; is outside the [server] section</translation>
    </message>
    <message>
        <source>其中写有密码；请把密码放进密码文件，用 passfile 指明</source>
        <translation>it contains a password; put the password in a password file and name it with passfile</translation>
    </message>
    <message>
        <source>不认识的键 &quot;%1&quot;</source>
        <translation>unknown key &quot;%1&quot;</translation>
    </message>
    <message>
        <source>缺少键 &quot;%1&quot;</source>
        <translation>key &quot;%1&quot; is missing</translation>
    </message>
    <message>
        <source>端口 &quot;%1&quot; 不是有效的端口号</source>
        <translation>port &quot;%1&quot; is not a valid port number</translation>
    </message>
    <message>
        <source>不认识的 sslmode &quot;%1&quot;</source>
        <translation>unknown sslmode &quot;%1&quot;</translation>
    </message>
    <message>
        <source>未安装 PostgreSQL 数据库驱动（QPSQL），无法打开服务器上的书。请安装 libqt6sql6-psql。</source>
        <translation>The PostgreSQL database driver (QPSQL) is not installed, so a book on a server cannot be opened. Please install libqt6sql6-psql.</translation>
    </message>
    <message>
        <source>%1（服务器 %2:%3）</source>
        <translation>%1 (server %2:%3)</translation>
    </message>
</context>
<context>
    <name>ServerEngine</name>
    <message>
        <source>请检查网络和服务器后再试。</source>
        <translation>Check the network and the server, then try again.</translation>
    </message>
    <message>
        <source>密码文件 &apos;%1&apos; 可被其他用户读取，libpq 因此不用它：请运行 chmod 600 &apos;%1&apos;。</source>
        <translation>The password file &apos;%1&apos; can be read by other users, so libpq does not use it: run chmod 600 &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>无法连接图书所在的数据库 %1（配置文件 &apos;%2&apos;）：%3。%4</source>
        <translation>Cannot connect to the book&apos;s database %1 (configuration file &apos;%2&apos;): %3. %4</translation>
    </message>
    <message>
        <source>用户 %1 无权读取数据库 %2（配置文件 &apos;%3&apos;）中的表 %4：%5。请图书的管理者在服务器上运行 &quot;grant select on ywzx_ywlb, ywzx_ywnr to %1&quot;。</source>
        <translation>User %1 may not read table %4 of database %2 (configuration file &apos;%3&apos;): %5. The book&apos;s administrator should run &quot;grant select on ywzx_ywlb, ywzx_ywnr to %1&quot; on the server.</translation>
    </message>
    <message>
        <source>配置文件 &apos;%2&apos; 所指的数据库 %1 中没有书：%3。请用 &quot;ebook-tool push 书库文件 postgresql://…&quot; 把书放到服务器上。</source>
        <translation>The database %1 named by configuration file &apos;%2&apos; holds no book: %3. Put the book on the server with &quot;ebook-tool push BOOK_FILE postgresql://...&quot;.</translation>
    </message>
    <message>
        <source>与图书服务器的连接已断开（%1），刚才的操作没有完成。请再操作一次，程序会重新连接；若仍不成功，请检查网络或联系管理员。</source>
        <translation>The connection to the book server was lost (%1); the last operation was not done. Do it once more and the program will reconnect; if it still fails, check the network or ask the administrator.</translation>
    </message>
    <message>
        <source>服务器在 %1 秒内没有完成这一操作，已把它取消，没有写入任何内容（%2）。请稍后再试；若一再发生，请联系管理员检查服务器和网络。</source>
        <translation>The server did not finish this operation within %1 seconds, so it was cancelled and nothing was written (%2). Please try again later; if it keeps happening, ask the administrator to check the server and the network.</translation>
    </message>
    <message>
        <source>图书服务器拒绝了这一操作：登录所用的用户没有这样做的权限，没有写入任何内容（%1）。阅读终端只能阅读；要修改图书，请用管理图书的用户登录，或请图书的管理者授予权限。</source>
        <translation>The book server refused this operation: the user logged in may not do it, and nothing was written (%1). Reading terminals may only read; to change the book, log in as the user that manages the book, or ask the book&apos;s administrator to grant the permission.</translation>
    </message>
    <message>
        <source>图书服务器上的操作失败，服务器报告：%1</source>
        <translation>An operation on the book server failed; the server reports: %1</translation>
    </message>
    <message>
        <source>图书服务器拒绝了这一操作：它是只读的备用服务器，不能修改电子书，没有写入任何内容（%1）。连接备用服务器的阅读终端只能阅读；要修改图书，请在连接主服务器的工作站上操作。</source>
        <translation>The book server refused this operation: it is a read-only standby server that cannot change the book, and nothing was written (%1). Terminals connected to a standby server may only read; to change the book, use a workstation connected to the primary server.</translation>
    </message>
</context>
<context>
    <name>ShowjbywnrFrm</name>
    <message>
        <source>没有找到你需要的内容！！</source>
        <translation>What you need was not found!</translation>
    </message>
    <message>
        <source>基本内容</source>
        <translation>Basic content</translation>
    </message>
    <message>
        <source>章节编号:</source>
        <translation>Chapter code:</translation>
    </message>
    <message>
        <source>章节标题:</source>
        <translation>Article title:</translation>
    </message>
    <message>
        <source>修改日期:</source>
        <translation>Date edited:</translation>
    </message>
    <message>
        <source>修改员工:</source>
        <translation>Edited by:</translation>
    </message>
    <message>
        <source>文章详细内容:</source>
        <translation>Article text:</translation>
    </message>
    <message>
        <source>在结果中继续查找</source>
        <translation>Find within results</translation>
    </message>
    <message>
        <source>退出(&amp;E)</source>
        <translation>&amp;Exit</translation>
    </message>
    <message>
        <source>章节编号</source>
        <translation>Chapter code</translation>
    </message>
    <message>
        <source>文章编号</source>
        <translation>Article code</translation>
    </message>
    <message>
        <source>章节标题</source>
        <translation>Article title</translation>
    </message>
    <message>
        <source>在结果中继续查找的文字</source>
        <translation>Text to find within the results</translation>
    </message>
    <message>
        <source>查找结果</source>
        <translation>Results</translation>
    </message>
    <message>
        <source>基本内容 — %1 条</source>
        <translation>Basic content — %1 hits</translation>
    </message>
</context>
<context>
    <name>StartUp</name>
    <message>
        <source>%1时出错（%2）：
%3</source>
        <translation>Error while %1 (%2):
%3</translation>
    </message>
    <message>
        <source>只能是 en 或 zh</source>
        <translation>must be en or zh</translation>
    </message>
    <message>
        <source>打开书库</source>
        <translation>opening the book</translation>
    </message>
    <message>
        <source>创建主窗口</source>
        <translation>creating the main window</translation>
    </message>
    <message>
        <source>正在连接数据库，可能需要几分钟。请稍候...</source>
        <translation>Connecting to the database; this may take a few minutes. Please wait...</translation>
    </message>
</context>
<context>
    <name>StoredMove</name>
    <message>
        <source>只能把节点移到章节之下。</source>
        <translation>A node can only be moved under a chapter.</translation>
    </message>
    <message>
        <source>移动节点</source>
        <translation>Move node</translation>
    </message>
    <message>
        <source>移动的节点编号</source>
        <translation>Code of the node moved</translation>
    </message>
    <message>
        <source>目标章节编号</source>
        <translation>Code of the target chapter</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>此节点没有编号，不能移动。</source>
        <translation>This node has no code and cannot be moved.</translation>
    </message>
    <message>
        <source>此类别已存在。类别编号不允许重复。请重新输入类别编号后再试！</source>
        <translation>This chapter exists already; chapter codes must be unique. Please enter another chapter code and try again!</translation>
    </message>
    <message>
        <source>此章节已被其他程序删除，不能移动。请刷新后再试！</source>
        <translation>This chapter has been deleted by another program and cannot be moved. Please refresh and try again!</translation>
    </message>
    <message>
        <source>此类别</source>
        <translation>This chapter</translation>
    </message>
    <message>
        <source>此编号已存在。内容编号不允许重复。请重新输入编号后再试！</source>
        <translation>This code exists already; article codes must be unique. Please enter another code and try again!</translation>
    </message>
    <message>
        <source>此内容已被其他程序删除，不能移动。请刷新后再试！</source>
        <translation>This article has been deleted by another program and cannot be moved. Please refresh and try again!</translation>
    </message>
    <message>
        <source>此内容</source>
        <translation>This article</translation>
    </message>
    <message>
        <source>目标章节已被其他程序删除，不能移到其下。请刷新后再试！</source>
        <translation>The target chapter has been deleted by another program; nothing can be moved under it. Please refresh and try again!</translation>
    </message>
    <message>
        <source>目标章节已被其他程序移到此章节之下，章节不能移到自己的下级之中。请刷新后再试！</source>
        <translation>Another program has moved the target chapter under this chapter, and a chapter cannot be moved into its own descendants. Please refresh and try again!</translation>
    </message>
</context>
<context>
    <name>fm_ywzx</name>
    <message>
        <source>复制引用</source>
        <translation>Copy citation</translation>
    </message>
    <message>
        <source>复制并附引用</source>
        <translation>Copy with citation</translation>
    </message>
    <message>
        <source>只打印正文（不加引用标题、页码和页边）</source>
        <translation>Print the text only (no citation heading, page numbers or margins)</translation>
    </message>
    <message>
        <source>后退</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>前进</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>添加书签</source>
        <translation>Add bookmark</translation>
    </message>
    <message>
        <source>书签列表...</source>
        <translation>Bookmarks...</translation>
    </message>
    <message>
        <source>书签“%1”所指的章节或内容已不在书中。</source>
        <translation>The chapter or article of the bookmark “%1” is no longer in the book.</translation>
    </message>
    <message>
        <source>全屏</source>
        <translation>Full screen</translation>
    </message>
    <message>
        <source>夜间配色</source>
        <translation>Night colours</translation>
    </message>
    <message>
        <source>阅读字体</source>
        <translation>Reading face</translation>
    </message>
    <message>
        <source>宋体（默认）</source>
        <translation>Song (default)</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>已备份：%1 → %2（%3 字节）</source>
        <translation>Backed up: %1 → %2 (%3 bytes)</translation>
    </message>
    <message>
        <source>%1 正有人保存，等待后仍未结束，没有备份；请稍后再试</source>
        <translation>%1 is being saved by someone and the save did not end in time; no backup was made; please try again later</translation>
    </message>
    <message>
        <source>%1 已存在，不会覆盖；请另选备份文件名</source>
        <translation>%1 exists already and is not overwritten; choose another backup file name</translation>
    </message>
    <message>
        <source>无法备份 %1：%2</source>
        <translation>Cannot back up %1: %2</translation>
    </message>
    <message>
        <source>没有检查 %1：%2。这不说明书有问题。请由可以写入该文件的用户运行一次 &quot;ebook-tool backup %1 备份文件&quot;（先撤销这次保存，再写出备份），或在可以写入它的工作站上启动一次阅读程序，然后再检查。</source>
        <translation>%1 was not checked: %2. This does not mean the book has problems. Have a user who may write the file run &quot;ebook-tool backup %1 BACKUP_FILE&quot; once (it undoes that save first, then writes the backup), or start the reader once on a workstation that may write it, then check again.</translation>
    </message>
    <message>
        <source>无法读取 %1：%2</source>
        <translation>Cannot read %1: %2</translation>
    </message>
    <message>
        <source>旧表的这些没有带到新表上（仍需要的话请重新建立）：%1</source>
        <translation>These were not carried over from the old tables to the new ones (create them again if still needed): %1</translation>
    </message>
    <message>
        <source>用法：ebook-tool create 文件 &quot;书名&quot;       新建一本空书
      ebook-tool demo 文件                 写出示例书（唐诗宋词）
      ebook-tool generate 文件 [--chapters N] [--fanout F] [--articles M]
                 [--text-bytes B] [--word W --word-percent P] [--chain 文本文件] [--no-breaks]
                                           写出一本供性能测试用的大书
      ebook-tool import ACCESS文件 书库     把 Access 文件中的书转过来
      ebook-tool push 书库 URL [--replace] 把书库文件复制到一个空的 PostgreSQL 数据库
      ebook-tool pull URL 书库             从 PostgreSQL 数据库写出一个新的书库文件
      （URL：postgresql://用户@主机:端口/数据库）
      ebook-tool [命令] --help | -h        显示本说明
      ebook-tool index [--drop | --check] 书库
                                           建立、删除或检查全文索引
      ebook-tool backup 书库 目标          为使用中的书库文件做一份一致的副本
                                           （先写在目标旁边，从不覆盖目标）
      ebook-tool check 书库|URL            报告书中不妥之处；什么也不改
                                           （退出码 0 完好，1 发现问题，2 书无法读取，
                                           3 未检查：须先撤销未完成的保存）
      任何命令都可加 --lang en|zh 选择语言。
create、demo、generate 和 import 会写出全文索引，除非给出 --no-index。
</source>
        <translation>usage: ebook-tool create FILE &quot;BOOK NAME&quot;   write a new empty book
       ebook-tool demo FILE                 write the demo book (Tang and Song poems)
       ebook-tool generate FILE [--chapters N] [--fanout F] [--articles M]
                  [--text-bytes B] [--word W --word-percent P] [--chain TEXTFILE] [--no-breaks]
                                            write a large book for benchmarks
       ebook-tool import ACCESS_FILE BOOK   bring a book kept in an Access file over
       ebook-tool push BOOK URL [--replace] copy a book file into an empty PostgreSQL database
       ebook-tool pull URL BOOK             write a new book file from a PostgreSQL database
       (URL: postgresql://user@host:port/database)
       ebook-tool [COMMAND] --help | -h     print this text
       ebook-tool index [--drop | --check] BOOK
                                            add, remove or check the full-text index
       ebook-tool backup BOOK DEST          a consistent copy of a book file in use
                                            (written beside DEST, never over it)
       ebook-tool check BOOK|URL            report what is unsound in a book; changes nothing
                                            (exit code 0 sound, 1 problems found, 2 book unreadable,
                                            3 not checked: a save left unfinished must be rolled back first)
       Any command takes --lang en|zh to choose the language.
create, demo, generate and import write the full-text index unless given --no-index.
</translation>
    </message>
    <message>
        <source>不认识的选项 &apos;%1&apos;</source>
        <translation>unknown option &apos;%1&apos;</translation>
    </message>
    <message>
        <source>%1：%2 / %3 行</source>
        <translation>%1: %2 of %3 rows</translation>
    </message>
    <message>
        <source>已把 ywzx_ywlb 的 %1 行和 ywzx_ywnr 的 %2 行导入 %3</source>
        <translation>imported %1 rows of ywzx_ywlb and %2 rows of ywzx_ywnr into %3</translation>
    </message>
    <message>
        <source>%1 只能是 %2 到 %3 之间的整数，不能是 &apos;%4&apos;</source>
        <translation>%1 takes a whole number from %2 to %3, not &apos;%4&apos;</translation>
    </message>
    <message>
        <source>%1 只能是 %2 到 %3 之间的数，不能是 &apos;%4&apos;</source>
        <translation>%1 takes a number from %2 to %3, not &apos;%4&apos;</translation>
    </message>
    <message>
        <source>，其中 %1 个章节含有该词</source>
        <translation>, the word in %1 chapters</translation>
    </message>
    <message>
        <source>已写出 %1：%2 个章节（%3 层），%4 篇文章</source>
        <translation>created %1: %2 chapters (depth %3), %4 articles</translation>
    </message>
    <message>
        <source>已从 %3 推送 ywzx_ywlb 的 %1 行和 ywzx_ywnr 的 %2 行</source>
        <translation>pushed %1 rows of ywzx_ywlb and %2 rows of ywzx_ywnr from %3</translation>
    </message>
    <message>
        <source>旧表没有授予其他用户任何权限</source>
        <translation>the old tables granted nothing to others</translation>
    </message>
    <message>
        <source>已照旧表重新授权：%1</source>
        <translation>granted again as the old tables did: %1</translation>
    </message>
    <message>
        <source>已把 ywzx_ywlb 的 %1 行和 ywzx_ywnr 的 %2 行取回到 %3</source>
        <translation>pulled %1 rows of ywzx_ywlb and %2 rows of ywzx_ywnr into %3</translation>
    </message>
    <message>
        <source>%1 指的是服务器上的书：全文索引只用于书库文件</source>
        <translation>%1 names a server book: the full-text index is for book files</translation>
    </message>
    <message>
        <source>%1 已有全文索引</source>
        <translation>%1 has a full-text index already</translation>
    </message>
    <message>
        <source>%1 含有不完整的全文索引：&quot;ebook-tool index --check %1&quot; 可以重建它</source>
        <translation>%1 holds part of a full-text index: &quot;ebook-tool index --check %1&quot; rebuilds it</translation>
    </message>
    <message>
        <source>已为 %1 建立全文索引</source>
        <translation>indexed %1</translation>
    </message>
    <message>
        <source>%1 没有全文索引</source>
        <translation>%1 has no full-text index</translation>
    </message>
    <message>
        <source>已删除 %1 的全文索引</source>
        <translation>dropped the full-text index of %1</translation>
    </message>
    <message>
        <source>%1 的全文索引正确</source>
        <translation>the full-text index of %1 is right</translation>
    </message>
    <message>
        <source>%1 的全文索引与正文不一致，已重建</source>
        <translation>the full-text index of %1 differed from the texts; rebuilt</translation>
    </message>
    <message>
        <source>书名不能为空</source>
        <translation>the book name must not be empty</translation>
    </message>
    <message>
        <source>已新建 %1</source>
        <translation>created %1</translation>
    </message>
    <message>
        <source>已写出 %1：%2 个章节，%3 篇文章</source>
        <translation>created %1: %2 chapters, %3 articles</translation>
    </message>
</context>
<context>
    <name>ywlbwhFrm</name>
    <message>
        <source>确定添加</source>
        <translation>Confirm add</translation>
    </message>
    <message>
        <source>确定修改</source>
        <translation>Confirm edit</translation>
    </message>
    <message>
        <source>图片 (%1);;JPEG (*.jpg *.jpeg);;位图 (*.bmp);;图标 (*.ico);;所有文件 (*)</source>
        <translation>Pictures (%1);;JPEG (*.jpg *.jpeg);;Bitmaps (*.bmp);;Icons (*.ico);;All files (*)</translation>
    </message>
    <message>
        <source>文件夹</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>打开图片</source>
        <translation>Open picture</translation>
    </message>
    <message>
        <source>章节内容维护</source>
        <translation>Edit chapters</translation>
    </message>
    <message>
        <source>上级章节编号</source>
        <translation>Parent chapter code</translation>
    </message>
    <message>
        <source>上级章节名称</source>
        <translation>Parent chapter name</translation>
    </message>
    <message>
        <source>章节编号</source>
        <translation>Chapter code</translation>
    </message>
    <message>
        <source>章节名称</source>
        <translation>Chapter name</translation>
    </message>
    <message>
        <source>章节详细内容</source>
        <translation>Chapter text</translation>
    </message>
    <message>
        <source>章节编号:</source>
        <translation>Chapter code:</translation>
    </message>
    <message>
        <source>章节名称:</source>
        <translation>Chapter name:</translation>
    </message>
    <message>
        <source>修改日期:</source>
        <translation>Date edited:</translation>
    </message>
    <message>
        <source>修改员工:</source>
        <translation>Edited by:</translation>
    </message>
    <message>
        <source>双击选择照片</source>
        <translation>Double-click to choose a photo</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>修改</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>有照片</source>
        <translation>Has photo</translation>
    </message>
    <message>
        <source>没有选择照片。请双击照片框选择一张图片，或者去掉“有照片”的勾选。</source>
        <translation>No photo chosen. Double-click the photo box to choose a picture, or untick “Has photo”.</translation>
    </message>
    <message>
        <source>无法打开照片文件“%1”：%2。</source>
        <translation>Cannot open the photo file “%1”: %2.</translation>
    </message>
    <message>
        <source>照片文件超过 20 MB，不能保存。请选择较小的图片后再试！</source>
        <translation>The photo file is larger than 20 MB and cannot be saved. Please choose a smaller picture and try again!</translation>
    </message>
    <message>
        <source>它不是可以读取的图片（%1）</source>
        <translation>it is not a readable picture (%1)</translation>
    </message>
    <message>
        <source>类别编号字段不能为空。请完整输入后再试！</source>
        <translation>The chapter code must not be empty. Please fill it in and try again!</translation>
    </message>
    <message>
        <source>类别名称字段不能为空。请完整输入后再试！</source>
        <translation>The chapter name must not be empty. Please fill it in and try again!</translation>
    </message>
    <message>
        <source>父类编号字段不能为空。请完整输入后再试！</source>
        <translation>The parent code must not be empty. Please fill it in and try again!</translation>
    </message>
    <message>
        <source>类别编号不能含有“[”或“]”。请重新输入类别编号后再试！</source>
        <translation>The chapter code must not contain “[” or “]”. Please enter another chapter code and try again!</translation>
    </message>
    <message>
        <source>此类别已存在。类别编号不允许重复。请重新输入类别编号后再试！</source>
        <translation>This chapter exists already; chapter codes must be unique. Please enter another chapter code and try again!</translation>
    </message>
    <message>
        <source>此类别不存在。您不能修改不存在的类别。请重新输入类别编号后再试！</source>
        <translation>This chapter does not exist; you cannot edit a chapter that does not exist. Please enter another chapter code and try again!</translation>
    </message>
    <message>
        <source>系统检测到您修改了类别编号。</source>
        <translation>The system found that you changed the chapter code.</translation>
    </message>
    <message>
        <source>此类别原始类别名称为：</source>
        <translation>This chapter&apos;s original name is:</translation>
    </message>
    <message>
        <source>确定修改将替换此类别的原始数据，您是否确定修改？</source>
        <translation>Confirming will replace this chapter&apos;s original data. Do you really want to save the change?</translation>
    </message>
    <message>
        <source>此类别</source>
        <translation>This chapter</translation>
    </message>
    <message>
        <source>删除功能将从数据库中删除选定类别的所有数据。</source>
        <translation>Deleting removes all the data of the chosen chapter from the database.</translation>
    </message>
    <message>
        <source>数据删除后将是不可恢复的,您确定要删除当前类别吗？</source>
        <translation>Deleted data cannot be recovered. Do you really want to delete the current chapter?</translation>
    </message>
    <message>
        <source>不能删除，因为指定类别拥有子类别。您应该先删除子类别！</source>
        <translation>Cannot delete: the chapter has chapters under it. Delete those first!</translation>
    </message>
    <message>
        <source>照片</source>
        <translation>Photo</translation>
    </message>
    <message>
        <source>双击或按回车键、空格键选择照片</source>
        <translation>Double-click, or press Enter or Space, to choose a photo</translation>
    </message>
</context>
<context>
    <name>ywnrwhFrm</name>
    <message>
        <source>确定添加</source>
        <translation>Confirm add</translation>
    </message>
    <message>
        <source>确定修改</source>
        <translation>Confirm edit</translation>
    </message>
    <message>
        <source>文章内容维护</source>
        <translation>Edit articles</translation>
    </message>
    <message>
        <source>章节编号:</source>
        <translation>Chapter code:</translation>
    </message>
    <message>
        <source>章节名称:</source>
        <translation>Chapter name:</translation>
    </message>
    <message>
        <source>章节标题:</source>
        <translation>Article title:</translation>
    </message>
    <message>
        <source>修改日期:</source>
        <translation>Date edited:</translation>
    </message>
    <message>
        <source>修改员工:</source>
        <translation>Edited by:</translation>
    </message>
    <message>
        <source>文章详细内容:</source>
        <translation>Article text:</translation>
    </message>
    <message>
        <source>所属章节编号</source>
        <translation>Chapter code</translation>
    </message>
    <message>
        <source>所属章节名称</source>
        <translation>Chapter name</translation>
    </message>
    <message>
        <source>文章编号</source>
        <translation>Article code</translation>
    </message>
    <message>
        <source>文章标题</source>
        <translation>Article title</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>修改</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>内容编号字段不能为空。请完整输入后再试！</source>
        <translation>The article code must not be empty. Please fill it in and try again!</translation>
    </message>
    <message>
        <source>内容标题字段不能为空。请完整输入后再试！</source>
        <translation>The article title must not be empty. Please fill it in and try again!</translation>
    </message>
    <message>
        <source>父类编号字段不能为空。请完整输入后再试！</source>
        <translation>The parent code must not be empty. Please fill it in and try again!</translation>
    </message>
    <message>
        <source>内容编号不能含有“[”或“]”。请重新输入编号后再试！</source>
        <translation>The article code must not contain “[” or “]”. Please enter another code and try again!</translation>
    </message>
    <message>
        <source>此编号已存在。内容编号不允许重复。请重新输入编号后再试！</source>
        <translation>This code exists already; article codes must be unique. Please enter another code and try again!</translation>
    </message>
    <message>
        <source>此编号不存在。您不能修改不存在的编号。请重新输入编号后再试！</source>
        <translation>This code does not exist; you cannot edit a code that does not exist. Please enter another code and try again!</translation>
    </message>
    <message>
        <source>系统检测到您修改了内容编号。</source>
        <translation>The system found that you changed the article code.</translation>
    </message>
    <message>
        <source>此编号的原始内容标题为:</source>
        <translation>This code&apos;s original article title is:</translation>
    </message>
    <message>
        <source>确定修改将替换此类别的原始数据,您是否确定修改?</source>
        <translation>Confirming will replace this article&apos;s original data. Do you really want to save the change?</translation>
    </message>
    <message>
        <source>此内容</source>
        <translation>This article</translation>
    </message>
    <message>
        <source>删除功能将从数据库中删除选定内容的所有数据。</source>
        <translation>Deleting removes all the data of the chosen article from the database.</translation>
    </message>
    <message>
        <source>数据删除后将是不可恢复的,您确定要删除当前内容吗？</source>
        <translation>Deleted data cannot be recovered. Do you really want to delete the current article?</translation>
    </message>
</context>
</TS>
